#include "platform/PathResolver.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;

enum class Kind { None, File, Directory };

// A folder's entries as they were at the folder's modification time.
struct Listing {
    fs::file_time_type modified;
    bool settled = false;  // read long enough after the modification to be trusted
    std::vector<DirectoryEntry> entries;
};

// File-system timestamps are coarse: a folder can change again within the same time stamp. A
// listing read this soon after the folder's last change is read again at the next lookup.
constexpr std::chrono::seconds kTimestampGranularity{1};

// Listings by absolute folder path.
std::map<std::string, Listing>& ListingCache()
{
    static std::map<std::string, Listing> cache;
    return cache;
}

Kind KindOf(const std::string& path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path.empty() ? "." : path, error);
    if (error) return Kind::None;
    if (fs::is_regular_file(status)) return Kind::File;
    if (fs::is_directory(status)) return Kind::Directory;
    return Kind::None;
}

std::vector<std::string> SplitPath(const std::string& path)
{
    std::vector<std::string> components;
    std::string current;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!current.empty()) components.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) components.push_back(current);
    return components;
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + '/' + name;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::vector<DirectoryEntry> ReadListing(const std::string& folder)
{
    std::vector<DirectoryEntry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const Kind kind = KindOf(it->path().string());
        if (kind == Kind::None) continue;
        entries.push_back({it->path().filename().string(), kind == Kind::Directory});
    }
    std::sort(entries.begin(), entries.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    return entries;
}

// The folder's listing, read again when the folder changed since it was cached.
const std::vector<DirectoryEntry>& CachedListing(const std::string& folder)
{
    std::error_code error;
    const std::string key = fs::absolute(folder.empty() ? "." : folder, error).lexically_normal().string();
    const fs::file_time_type modified = fs::last_write_time(key, error);
    Listing& listing = ListingCache()[key];
    if (!listing.settled || listing.modified != modified) {
        listing.modified = modified;
        listing.entries = ReadListing(key);
        listing.settled = fs::file_time_type::clock::now() - modified > kTimestampGranularity;
    }
    return listing.entries;
}

// The name in folder that matches component with the wanted kind: the exact name first, else
// the smallest name equal to it without regard to case; empty when none matches.
std::string MatchComponent(const std::string& folder, const std::string& component, Kind wanted)
{
    if (KindOf(Join(folder, component)) == wanted) return component;
    for (const DirectoryEntry& entry : CachedListing(folder)) {
        const Kind kind = entry.isDirectory ? Kind::Directory : Kind::File;
        if (kind == wanted && EqualsIgnoringCase(entry.name, component)) return entry.name;
    }
    return {};
}

bool IsDotComponent(const std::string& component)
{
    return component == "." || component == "..";
}

// Resolves every folder component of the path; with create set, missing folders are made.
// Leaves the last component (the file's name) in lastComponent.
bool ResolveFolders(const std::string& path, bool create, std::string& folder, std::string& lastComponent)
{
    std::vector<std::string> components = SplitPath(path);
    if (components.empty()) return false;
    lastComponent = components.back();
    components.pop_back();

    folder = !path.empty() && path.front() == '/' ? "/" : "";
    for (const std::string& component : components) {
        if (IsDotComponent(component)) {
            folder = Join(folder, component);
            continue;
        }
        std::string name = MatchComponent(folder, component, Kind::Directory);
        if (name.empty()) {
            if (!create) return false;
            std::error_code error;
            fs::create_directory(Join(folder, component), error);
            InvalidateListings();
            if (error || KindOf(Join(folder, component)) != Kind::Directory) return false;
            name = component;
        }
        folder = Join(folder, name);
    }
    return true;
}

}  // namespace

bool ResolveFile(const std::string& path, std::string& resolved)
{
    std::string folder, last;
    if (!ResolveFolders(path, false, folder, last) || IsDotComponent(last)) return false;
    const std::string name = MatchComponent(folder, last, Kind::File);
    if (name.empty()) return false;
    resolved = Join(folder, name);
    return true;
}

bool ResolveDirectory(const std::string& path, std::string& resolved)
{
    std::string folder, last;
    if (!ResolveFolders(path, false, folder, last)) return false;
    const std::string name = IsDotComponent(last) ? last : MatchComponent(folder, last, Kind::Directory);
    if (name.empty()) return false;
    resolved = Join(folder, name);
    return true;
}

bool ResolveForWriting(const std::string& path, std::string& resolved)
{
    std::string folder, last;
    if (!ResolveFolders(path, true, folder, last) || IsDotComponent(last)) return false;
    std::string name = MatchComponent(folder, last, Kind::File);
    if (name.empty()) name = MatchComponent(folder, last, Kind::Directory);
    if (name.empty()) name = last;
    resolved = Join(folder, name);
    return KindOf(resolved) != Kind::Directory;
}

std::vector<DirectoryEntry> ListDirectory(const std::string& resolvedDirectory)
{
    return CachedListing(resolvedDirectory);
}

void InvalidateListings()
{
    ListingCache().clear();
}

}  // namespace platform
