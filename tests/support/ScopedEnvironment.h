#ifndef KORVANE_TESTS_SCOPEDENVIRONMENT_H
#define KORVANE_TESTS_SCOPEDENVIRONMENT_H

#include <cstdlib>
#include <string>

// Sets an environment variable (nullptr: removes it) for the life of the
// object, then puts back what was there.
class ScopedEnvironment
{
  public:
    ScopedEnvironment(const char* name_, const char* value) : name(name_), had(std::getenv(name_) != nullptr)
    {
        saved = had ? std::getenv(name_) : "";
        value != nullptr ? setenv(name_, value, 1) : unsetenv(name_);
    }
    ScopedEnvironment(const char* name_, const std::string& value) : ScopedEnvironment(name_, value.c_str())
    {
    }
    ~ScopedEnvironment() { had ? setenv(name, saved.c_str(), 1) : unsetenv(name); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const char* name;
    bool had;
    std::string saved;
};

#endif
