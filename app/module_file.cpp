#include "app/module_file.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <vector>

namespace padscope {

namespace {

// Where the ELF header and a program header keep what is checked, for the
// 32-bit and the 64-bit class.
struct ElfLayout {
    std::size_t headerSize, phoffAt, phentsizeAt, phnumAt, fieldSize;
    std::size_t segmentSize, offsetAt, fileSizeAt;
};
constexpr ElfLayout kElf32{52, 0x1C, 0x2A, 0x2C, 4, 32, 4, 16};
constexpr ElfLayout kElf64{64, 0x20, 0x36, 0x38, 8, 56, 8, 32};

// Reads little- or big-endian fields of `size` bytes.
struct FieldReader {
    bool bigEndian;
    std::uint64_t operator()(const std::uint8_t* p, std::size_t size) const
    {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value |= std::uint64_t{p[bigEndian ? size - 1 - i : i]} << (8 * i);
        return value;
    }
};

bool read(std::ifstream& file, std::uint64_t at, std::vector<std::uint8_t>& bytes)
{
    file.seekg(static_cast<std::streamoff>(at));
    return static_cast<bool>(file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())));
}

}  // namespace

std::string unloadableModuleReason(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {};
    if (!S_ISREG(info.st_mode))
        return path + " is not a regular file";
    const auto size = static_cast<std::uint64_t>(info.st_size);
    const std::string cut = path + " is cut short (" + std::to_string(size) + " bytes): ";
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> header(std::min<std::uint64_t>(size, kElf64.headerSize));
    if (!read(file, 0, header))
        return path + " cannot be read";
    constexpr std::array<std::uint8_t, 4> magic{0x7F, 'E', 'L', 'F'};
    if (!std::equal(header.begin(), header.begin() + std::min<std::size_t>(header.size(), 4), magic.begin()))
        return path + " is not an ELF file";
    const bool known = header.size() > 5 && (header[4] == 1 || header[4] == 2) && (header[5] == 1 || header[5] == 2);
    const ElfLayout& elf = known && header[4] == 1 ? kElf32 : kElf64;
    if (header.size() < elf.headerSize)
        return cut + "no whole ELF header";
    if (!known)
        return path + " is not an ELF file of a known class";
    const FieldReader field{header[5] == 2};
    const std::uint64_t phoff = field(&header[elf.phoffAt], elf.fieldSize);
    const std::uint64_t phentsize = field(&header[elf.phentsizeAt], 2), phnum = field(&header[elf.phnumAt], 2);
    if (phnum > 0 && phentsize < elf.segmentSize)
        return path + " has program headers too small to read";
    if (phoff > size || phnum * phentsize > size - phoff)
        return cut + "its program headers lie past its end";
    std::vector<std::uint8_t> segments(phnum * phentsize);
    if (!read(file, phoff, segments))
        return cut + "its program headers cannot be read";
    for (std::uint64_t i = 0; i < phnum; ++i) {
        const std::uint8_t* segment = segments.data() + i * phentsize;
        const std::uint64_t offset = field(segment + elf.offsetAt, elf.fieldSize);
        const std::uint64_t fileSize = field(segment + elf.fileSizeAt, elf.fieldSize);
        if (offset > size || fileSize > size - offset)
            return cut + "segment " + std::to_string(i) + " ends at byte " + std::to_string(offset + fileSize);
    }
    return {};
}

void* moduleFunction(const std::string& path, const char* name, std::string& error)
{
    if (error = unloadableModuleReason(path); !error.empty())
        return nullptr;
    // A path with a slash is loaded as it is, never looked for elsewhere.
    void* module = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    void* function = module ? ::dlsym(module, name) : nullptr;
    if (!function) {
        const char* reason = ::dlerror();
        error = reason ? reason : path + ": " + name + " is missing";
    }
    return function;
}

}  // namespace padscope
