#include "app/Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "app/FatalError.h"

bool MatchWildcard(const std::string& pattern, const std::string& name)
{
    // Iterative matcher with one backtrack point for the last '*': linear in
    // practice and never recursive, whatever the pattern.
    size_t p = 0, n = 0;
    size_t starP = std::string::npos, starN = 0;
    while (n < name.size())
    {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n]))
        {
            p++;
            n++;
        }
        else if (p < pattern.size() && pattern[p] == '*')
        {
            starP = p++;
            starN = n;
        }
        else if (starP != std::string::npos)
        {
            p = starP + 1;
            n = ++starN;
        }
        else
        {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
    {
        p++;
    }
    return p == pattern.size();
}

std::vector<std::string> FindMatchingFiles(const std::string& pattern, bool* anyMatch)
{
    const std::string native = NativePath(pattern);
    const size_t slash = native.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : native.substr(0, slash + 1);
    const std::string filePattern = slash == std::string::npos ? native : native.substr(slash + 1);

    std::vector<std::string> names;
    bool matched = false;
    if (DIR* dir = opendir(directory.c_str()))
    {
        while (const dirent* entry = readdir(dir))
        {
            const std::string name = entry->d_name;
            if (name == "." || name == ".." || !MatchWildcard(filePattern, name))
            {
                continue;
            }
            matched = true;
            struct stat info;
            const std::string path = directory + "/" + name;
            if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            {
                continue;
            }
            names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    if (anyMatch)
    {
        *anyMatch = matched;
    }
    return names;
}

std::vector<std::string> ListFiles(std::string pattern)
{
    bool anyMatch = false;
    std::vector<std::string> names = FindMatchingFiles(pattern, &anyMatch);
    if (!anyMatch)
    {
        FatalError("Error finding files of type " + pattern);
    }
    for (std::string& name : names)
    {
        name = name.substr(0, name.find('.'));
        std::fprintf(stderr, "%s\n", name.c_str());
    }
    return names;
}

std::string NativePath(const std::string& path)
{
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

void WaitForConsoleKey()
{
    if (!isatty(STDIN_FILENO))
    {
        return;
    }
    // One key, without waiting for Enter and without echo.
    termios saved;
    const bool haveTermios = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (haveTermios)
    {
        termios raw = saved;
        raw.c_lflag &= ~(ICANON | ECHO);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
    // A signal interrupts the read and it is tried again; end of file or any
    // other error ends the wait.
    char key;
    while (read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR)
    {
    }
    if (haveTermios)
    {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    }
}
