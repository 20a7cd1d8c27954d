#include "save/SaveFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "game/Game.h"

#include "save/GameSnapshot.h"
#include "save/SnapshotCodec.h"

namespace
{

std::string Reason(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".")
                                      : (slash == 0 ? std::string("/") : path.substr(0, slash));
}

// Flushes a folder's entries (the renames in it) to the disk.
void SyncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0)
    {
        fsync(fd);
        close(fd);
    }
}

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

} // namespace

std::string SaveFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/')
    {
        return std::string(data) + "/korvane/saves";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
    {
        return std::string(home) + "/.local/share/korvane/saves";
    }
    return std::string();
}

std::vector<std::string> AutosavePaths(const std::string& folder)
{
    std::vector<std::string> paths;
    for (int i = 0; i < kAutosavesKept; i++)
    {
        paths.push_back(folder +
                        (i == 0 ? "/autosave.korvane" : "/autosave-" + std::to_string(i) + ".korvane"));
    }
    return paths;
}

bool MakeFolders(const std::string& folder, std::string& error)
{
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1))
    {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
        {
            error = Reason("cannot make the folder", part);
            return false;
        }
        if (slash == std::string::npos)
        {
            return true;
        }
    }
}

bool WriteFileWhole(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error)
{
    const std::string temporary = path + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
    {
        error = Reason("cannot write", temporary);
        return false;
    }
    size_t written = 0;
    while (written < bytes.size())
    {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
        {
            continue;
        }
        if (n <= 0)
        {
            error = Reason("cannot write", temporary);
            close(fd);
            unlink(temporary.c_str());
            return false;
        }
        written += size_t(n);
    }
    if (fsync(fd) != 0 || close(fd) != 0)
    {
        error = Reason("cannot write", temporary);
        unlink(temporary.c_str());
        return false;
    }
    if (rename(temporary.c_str(), path.c_str()) != 0)
    {
        error = Reason("cannot rename the new save to", path);
        unlink(temporary.c_str());
        return false;
    }
    SyncFolder(FolderOf(path));
    return true;
}

bool ReadSaveFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
    {
        error = std::strerror(errno);
        return false;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        error = "it is not a file";
        close(fd);
        return false;
    }
    if (uint64_t(info.st_size) > kMaxSaveFileSize)
    {
        error = "the file is too large to be a saved game (" + std::to_string(info.st_size) + " bytes)";
        close(fd);
        return false;
    }
    bytes.assign(size_t(info.st_size), 0);
    size_t done = 0;
    while (done < bytes.size())
    {
        const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
        {
            continue;
        }
        if (n < 0)
        {
            error = std::strerror(errno);
            close(fd);
            return false;
        }
        if (n == 0)
        {
            break;
        }
        done += size_t(n);
    }
    bytes.resize(done);
    close(fd);
    return true;
}

bool WriteAutosave(const Game& game, const std::string& folder, std::string& error)
{
    if (!MakeFolders(folder, error))
    {
        return false;
    }
    const std::vector<std::string> paths = AutosavePaths(folder);
    const std::string newest = paths.front() + ".new";
    if (!WriteFileWhole(newest, EncodeSnapshot(CaptureSnapshot(game)), error))
    {
        return false;
    }
    // Each rename replaces a file whole: at any moment the newest complete
    // save is the first of the list that exists, or the new one.
    for (size_t i = paths.size() - 1; i > 0; i--)
    {
        if (Exists(paths[i - 1]) && rename(paths[i - 1].c_str(), paths[i].c_str()) != 0)
        {
            error = Reason("cannot rename", paths[i - 1]);
            return false;
        }
    }
    if (rename(newest.c_str(), paths.front().c_str()) != 0)
    {
        error = Reason("cannot rename the new save to", paths.front());
        return false;
    }
    SyncFolder(folder);
    return true;
}

void AutosaveAtHandOver(const Game& game)
{
    const std::string folder = SaveFolder();
    if (folder.empty())
    {
        std::cerr << "Saving: no HOME or XDG_DATA_HOME, the game is not saved" << std::endl;
        return;
    }
    if (game.GetState() == 2)
    {
        if (game.WinnerIndex() != -1)
        {
            for (const std::string& path : AutosavePaths(folder))
            {
                unlink(path.c_str());
            }
        }
        return;
    }
    std::string error;
    if (!WriteAutosave(game, folder, error))
    {
        std::cerr << "Saving: " << error << std::endl;
    }
}
