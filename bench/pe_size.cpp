// Reads a program file's section table and resource directory by hand, so
// that the 32-bit file can be read from the 64-bit driver and the other way round.
#include "bench/pe_size.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace bench {

static std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    fclose(file);
    return bytes;
}

template <typename T>
static bool At(const std::string& bytes, size_t offset, T* value)
{
    if (offset + sizeof(T) > bytes.size())
        return false;
    memcpy(value, bytes.data() + offset, sizeof(T));
    return true;
}

static const char* TypeName(WORD id)
{
    switch (id) {
    case 1: return "CURSOR";
    case 2: return "BITMAP";
    case 3: return "ICON";
    case 4: return "MENU";
    case 5: return "DIALOG";
    case 6: return "STRING";
    case 10: return "RCDATA";
    case 12: return "GROUP_CURSOR";
    case 14: return "GROUP_ICON";
    case 16: return "VERSION";
    case 24: return "MANIFEST";
    }
    return nullptr;
}

struct Image {
    const std::string& bytes;
    std::vector<IMAGE_SECTION_HEADER> sections;

    // File offset of a relative virtual address; 0 when no section holds it.
    size_t Offset(DWORD rva) const
    {
        for (const IMAGE_SECTION_HEADER& section : sections)
            if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData)
                return rva - section.VirtualAddress + section.PointerToRawData;
        return 0;
    }
};

static std::string EntryName(const std::string& bytes, size_t base, const IMAGE_RESOURCE_DIRECTORY_ENTRY& entry)
{
    if (!entry.NameIsString) {
        const char* known = TypeName(entry.Id);
        return known ? known : std::to_string(entry.Id);
    }
    WORD length = 0;
    size_t at = base + entry.NameOffset;
    At(bytes, at, &length);
    std::string name;
    for (WORD i = 0; i < length; ++i) {
        WCHAR c = 0;
        At(bytes, at + 2 + 2 * i, &c);
        name += static_cast<char>(c < 128 ? c : '?');
    }
    return name;
}

// Sums the data entries below a directory entry, at any depth. `id` is the
// resource number once known (the second level of the directory).
static void SumData(const Image& image, size_t base, size_t directory, int depth, unsigned id, bool bitmaps,
                    PeContents* contents, unsigned long* sum)
{
    IMAGE_RESOURCE_DIRECTORY header;
    if (!At(image.bytes, directory, &header))
        return;
    int count = header.NumberOfNamedEntries + header.NumberOfIdEntries;
    for (int i = 0; i < count; ++i) {
        IMAGE_RESOURCE_DIRECTORY_ENTRY entry;
        if (!At(image.bytes, directory + sizeof header + i * sizeof entry, &entry))
            return;
        unsigned entryId = depth == 0 && !entry.NameIsString ? entry.Id : id;
        if (entry.DataIsDirectory) {
            SumData(image, base, base + entry.OffsetToDirectory, depth + 1, entryId, bitmaps, contents, sum);
            continue;
        }
        IMAGE_RESOURCE_DATA_ENTRY data;
        if (!At(image.bytes, base + entry.OffsetToData, &data))
            continue;
        *sum += data.Size;
        BITMAPINFOHEADER info;
        if (bitmaps && At(image.bytes, image.Offset(data.OffsetToData), &info)) {
            unsigned long screen = static_cast<unsigned long>(labs(info.biWidth) * labs(info.biHeight) * 4);
            contents->bitmapScreenBytes += screen;
            contents->bitmapScreenBytesById[entryId] += screen;
            ++contents->bitmapCount;
        }
    }
}

bool ReadPeContents(const std::string& path, PeContents* contents)
{
    std::string bytes = ReadWholeFile(path);
    Image image{bytes, {}};
    IMAGE_DOS_HEADER dos;
    DWORD signature = 0;
    IMAGE_FILE_HEADER file;
    if (!At(bytes, 0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || !At(bytes, dos.e_lfanew, &signature) ||
        signature != IMAGE_NT_SIGNATURE || !At(bytes, dos.e_lfanew + 4, &file))
        return false;
    size_t optional = dos.e_lfanew + 4 + sizeof file;
    WORD magic = 0;
    At(bytes, optional, &magic);
    IMAGE_DATA_DIRECTORY resources = {};
    if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        IMAGE_OPTIONAL_HEADER32 header;
        if (At(bytes, optional, &header))
            resources = header.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE];
    } else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        IMAGE_OPTIONAL_HEADER64 header;
        if (At(bytes, optional, &header))
            resources = header.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE];
    } else {
        return false;
    }
    contents->fileBytes = static_cast<unsigned long>(bytes.size());
    size_t table = optional + file.SizeOfOptionalHeader;
    for (int i = 0; i < file.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        if (!At(bytes, table + i * sizeof section, &section))
            return false;
        image.sections.push_back(section);
        char name[9] = {};
        memcpy(name, section.Name, 8);
        contents->sections.push_back({name, section.SizeOfRawData});
    }

    size_t base = resources.VirtualAddress ? image.Offset(resources.VirtualAddress) : 0;
    IMAGE_RESOURCE_DIRECTORY root;
    if (!base || !At(bytes, base, &root))
        return true;
    int types = root.NumberOfNamedEntries + root.NumberOfIdEntries;
    for (int i = 0; i < types; ++i) {
        IMAGE_RESOURCE_DIRECTORY_ENTRY entry;
        if (!At(bytes, base + sizeof root + i * sizeof entry, &entry) || !entry.DataIsDirectory)
            continue;
        std::string name = EntryName(bytes, base, entry);
        unsigned long sum = 0;
        SumData(image, base, base + entry.OffsetToDirectory, 0, 0, name == "BITMAP", contents, &sum);
        contents->resourceBytes[name] += sum;
    }
    return true;
}

}  // namespace bench
