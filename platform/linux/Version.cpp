// Version resource of an ELF executable: the contents of its ".vtversion"
// section (see VersionBlock.cpp.in).

#include "platform/Version.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

namespace platform {
namespace {

struct Section {
    uint64_t offset = 0;
    uint64_t size = 0;
};

template <class Ehdr, class Shdr>
std::optional<Section> FindSection(std::ifstream& in, const char* wanted)
{
    Ehdr eh;
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(&eh), sizeof eh))
        return std::nullopt;
    if (eh.e_shentsize != sizeof(Shdr) || eh.e_shnum == 0 || eh.e_shstrndx >= eh.e_shnum)
        return std::nullopt;
    std::vector<Shdr> sections(eh.e_shnum);
    in.seekg(std::streamoff(eh.e_shoff));
    if (!in.read(reinterpret_cast<char*>(sections.data()), std::streamsize(sizeof(Shdr) * eh.e_shnum)))
        return std::nullopt;
    const Shdr& strtab = sections[eh.e_shstrndx];
    if (strtab.sh_size > (1u << 24))
        return std::nullopt;
    std::vector<char> names(strtab.sh_size + 1, '\0');
    in.seekg(std::streamoff(strtab.sh_offset));
    if (!in.read(names.data(), std::streamsize(strtab.sh_size)))
        return std::nullopt;
    for (const Shdr& s : sections) {
        if (s.sh_name < strtab.sh_size && std::strcmp(names.data() + s.sh_name, wanted) == 0 &&
            s.sh_type != SHT_NOBITS)
            return Section{uint64_t(s.sh_offset), uint64_t(s.sh_size)};
    }
    return std::nullopt;
}

std::optional<Section> VersionSection(std::ifstream& in)
{
    unsigned char ident[EI_NIDENT];
    if (!in.read(reinterpret_cast<char*>(ident), EI_NIDENT) || std::memcmp(ident, ELFMAG, SELFMAG) != 0)
        return std::nullopt;
    if (ident[EI_DATA] != ELFDATA2LSB)
        return std::nullopt;
    if (ident[EI_CLASS] == ELFCLASS64)
        return FindSection<Elf64_Ehdr, Elf64_Shdr>(in, ".vtversion");
    if (ident[EI_CLASS] == ELFCLASS32)
        return FindSection<Elf32_Ehdr, Elf32_Shdr>(in, ".vtversion");
    return std::nullopt;
}

} // namespace

uint32_t GetFileVersionInfoSize(const std::string& fileName, uint32_t* handle)
{
    if (handle)
        *handle = 0;
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return 0;
    auto s = VersionSection(in);
    if (!s || s->size == 0 || s->size > 65535)
        return 0;
    return uint32_t(s->size);
}

bool GetFileVersionInfo(const std::string& fileName, uint32_t, uint32_t size, void* data)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in || !data)
        return false;
    auto s = VersionSection(in);
    if (!s || s->size > size)
        return false;
    in.seekg(std::streamoff(s->offset));
    return bool(in.read(static_cast<char*>(data), std::streamsize(s->size)));
}

} // namespace platform
