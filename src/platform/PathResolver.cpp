#include "platform/PathResolver.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <system_error>
#include <vector>

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

// The path's components with "." left out and each ".." taking away the component before it;
// false when a ".." would climb above the path's start.
bool NormalisedComponents(const std::string& path, std::vector<std::string>& components)
{
    components.clear();
    for (const std::string& component : SplitPath(path)) {
        if (component == ".") continue;
        if (component != "..") {
            components.push_back(component);
        } else if (components.empty()) {
            return false;
        } else {
            components.pop_back();
        }
    }
    return true;
}

std::string StartFolder(const std::string& path)
{
    return !path.empty() && path.front() == '/' ? "/" : "";
}

// Visits every existing path that the components name below folder, the last one of the
// wanted kind and the others folders, until visit returns true (then true). At each step the
// exact name comes first, then the names equal to it without regard to case, smallest first.
bool VisitMatches(const std::string& folder, const std::vector<std::string>& components, size_t index,
                  Kind wanted, const std::function<bool(const std::string&)>& visit)
{
    const bool last = index + 1 == components.size();
    const std::string& component = components[index];
    const auto follow = [&](const std::string& name) {
        const std::string path = Join(folder, name);
        return last ? visit(path) : VisitMatches(path, components, index + 1, wanted, visit);
    };
    const Kind kind = last ? wanted : Kind::Directory;
    if (KindOf(Join(folder, component)) == kind && follow(component)) return true;
    for (const DirectoryEntry& entry : CachedListing(folder)) {
        if ((entry.isDirectory ? Kind::Directory : Kind::File) != kind || entry.name == component) continue;
        if (EqualsIgnoringCase(entry.name, component) && follow(entry.name)) return true;
    }
    return false;
}

// The first existing path of the wanted kind that the path names; false when there is none.
bool FindFirst(const std::string& path, Kind wanted, std::string& resolved)
{
    std::vector<std::string> components;
    if (!NormalisedComponents(path, components) || components.empty()) return false;
    return VisitMatches(StartFolder(path), components, 0, wanted, [&](const std::string& found) {
        resolved = found;
        return true;
    });
}

// The name in folder that matches component with the wanted kind: the exact name first, else
// the smallest name equal to it without regard to case; empty when none matches.
std::string MatchComponent(const std::string& folder, const std::string& component, Kind wanted)
{
    std::string name;
    VisitMatches(folder, {component}, 0, wanted, [&](const std::string& found) {
        name = found.substr(found.size() - component.size());  // a match is as long as the component
        return true;
    });
    return name;
}

// Finds or creates the folders of a path to write (the first match of each, missing ones made
// as written) and leaves the file's name in lastComponent.
bool MakeFolders(const std::string& path, std::string& folder, std::string& lastComponent)
{
    std::vector<std::string> components;
    if (!NormalisedComponents(path, components) || components.empty()) return false;
    lastComponent = components.back();
    components.pop_back();
    folder = StartFolder(path);
    for (const std::string& component : components) {
        std::string name = MatchComponent(folder, component, Kind::Directory);
        if (name.empty()) {
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
    return FindFirst(path, Kind::File, resolved);
}

bool ResolveDirectory(const std::string& path, std::string& resolved)
{
    std::vector<std::string> components;
    if (path.empty() || !NormalisedComponents(path, components)) return false;
    if (components.empty()) {
        // One character: assigning the literal trips a false -Wrestrict in optimised GCC builds.
        resolved.assign(1, StartFolder(path).empty() ? '.' : '/');
        return true;
    }
    return FindFirst(path, Kind::Directory, resolved);
}

bool ResolveForWriting(const std::string& path, std::string& resolved)
{
    if (FindFirst(path, Kind::File, resolved)) return true;
    std::string folder, last;
    if (!MakeFolders(path, folder, last) || !MatchComponent(folder, last, Kind::Directory).empty()) return false;
    resolved = Join(folder, last);
    return KindOf(resolved) == Kind::None;
}

std::vector<DirectoryEntry> ListGameFolder(const std::string& path)
{
    std::vector<DirectoryEntry> merged;
    std::vector<std::string> components;
    if (path.empty() || !NormalisedComponents(path, components)) return merged;
    const auto add = [&](const std::string& folder) {
        for (const DirectoryEntry& entry : CachedListing(folder)) {
            const auto same = [&](const DirectoryEntry& kept) { return kept.name == entry.name; };
            if (std::none_of(merged.begin(), merged.end(), same)) merged.push_back(entry);
        }
        return false;
    };
    if (components.empty()) {
        add(StartFolder(path).empty() ? "." : "/");
    } else {
        VisitMatches(StartFolder(path), components, 0, Kind::Directory, add);
    }
    std::sort(merged.begin(), merged.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    return merged;
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
