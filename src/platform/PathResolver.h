#pragma once
#include <string>
#include <vector>

namespace platform {

// The one resolver between the game's paths and the file system, for reading and for writing.
//
// Game paths are written Windows-style in any case ("Data\Levels\x.lvl", "DATA\player.dat").
// A path is split on '\' and '/' (empty components are skipped; a leading '/' makes it absolute,
// otherwise it is relative to the working directory; "." and ".." pass through unchanged). Each
// component matches exactly first, else without regard to ASCII case; when several names match
// that way, the byte-wise smallest wins. Folders must match folders and files regular files:
// a directory never counts as a file.
//
// Directory listings are cached for the case-insensitive matches and read again when their
// folder's modification time changes; exact matches are always checked against the file system
// itself. Main thread only.

struct DirectoryEntry {
    std::string name;
    bool isDirectory = false;  // otherwise a regular file
};

// Finds the regular file a game path names; false when there is none.
bool ResolveFile(const std::string& path, std::string& resolved);
// Finds the folder a game path names; false when there is none.
bool ResolveDirectory(const std::string& path, std::string& resolved);
// The file to write for a game path: existing folders are reused whatever their case and missing
// ones are created (named as written); an existing regular file matching the last component
// without regard to case is reused, otherwise the name is taken as written. False when a folder
// cannot be created or the last component names a folder (in any case).
bool ResolveForWriting(const std::string& path, std::string& resolved);

// The folders and regular files of a resolved folder, sorted by name (from the cache).
std::vector<DirectoryEntry> ListDirectory(const std::string& resolvedDirectory);
// Forgets every cached listing (the game's writes call it).
void InvalidateListings();

}  // namespace platform
