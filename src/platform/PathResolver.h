#pragma once
#include <string>
#include <vector>

namespace platform {

// The one resolver between the game's paths and the file system, for reading and for writing.
//
// Game paths are written Windows-style in any case ("Data\Levels\x.lvl", "DATA\player.dat").
// A path is split on '\' and '/' (empty components are skipped; a leading '/' makes it absolute,
// otherwise it is relative to the working directory, the game's folder). "." is left out and ".."
// takes away the component before it; a ".." that would climb above the path's start makes the
// path name nothing, so a game path never leaves the game's folder. Each component matches
// exactly first, else without regard to ASCII case, the byte-wise smallest first; when several
// folders match that way (both "data" and "Data"), a path is found in whichever of them holds
// it. Folders must match folders and files regular files: a directory never counts as a file.
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
// The file to write for a game path: an existing regular file it names is reused (found as
// ResolveFile finds it); otherwise existing folders are reused whatever their case, missing ones
// are created (named as written) and the name is taken as written. False when a folder cannot be
// created or the last component names a folder (in any case).
bool ResolveForWriting(const std::string& path, std::string& resolved);

// The folders and regular files of every folder a game path names (all its case variants; a
// name found in several is listed once), sorted by name.
std::vector<DirectoryEntry> ListGameFolder(const std::string& path);
// The folders and regular files of a resolved folder, sorted by name (from the cache).
std::vector<DirectoryEntry> ListDirectory(const std::string& resolvedDirectory);
// Forgets every cached listing (the game's writes call it).
void InvalidateListings();

}  // namespace platform
