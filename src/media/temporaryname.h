#pragma once
// The one shape of the names our writers give a file while it is being written: hidden,
// beside its destination, and recognisable as ours by a fixed prefix, so that a start after
// a crash can remove what a killed writer left and nothing else.

#include <cstdio>
#include <random>
#include <string>
#include <string_view>

namespace temporaryname {

inline constexpr std::string_view kPrefix = ".sonabel-tmp-";

// Whether a bare file name is one of ours.
inline bool isOurs(std::string_view fileName)
{
    return fileName.size() > kPrefix.size() && fileName.substr(0, kPrefix.size()) == kPrefix;
}

// A fresh name beside `path`: folder + prefix + the file's name + "." + 8 random hex digits.
inline std::string beside(const std::string& path)
{
    std::random_device random;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x", random());
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + std::string(kPrefix) + name + suffix;
}

} // namespace temporaryname
