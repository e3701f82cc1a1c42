#include "app/update/ExecutableCheck.h"

#include <elf.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

// The ELF header of the running program, placed by the linker at the start of its first segment.
extern "C" const ElfW(Ehdr) __ehdr_start __attribute__((visibility("hidden")));

namespace {

using Ehdr = ElfW(Ehdr);
using Phdr = ElfW(Phdr);
using Shdr = ElfW(Shdr);
using Dyn = ElfW(Dyn);

constexpr size_t kDynamicBlock = 64;         // dynamic entries read at a time
constexpr uint64_t kMaxDynamicEntries = 4096; // entries looked at; real programs have < 100

// An open file the caller owns.
class File {
public:
    explicit File(int fd) : fd_(fd) {}

    // The size of a regular file; -1 when it is none or cannot be read.
    int64_t RegularSize() const {
        struct stat st;
        if (fd_ < 0 || fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
        return static_cast<int64_t>(st.st_size);
    }
    // Exactly `size` bytes at `offset`, else false.
    bool ReadAt(uint64_t offset, void* buffer, size_t size) const {
        char* p = static_cast<char*>(buffer);
        while (size > 0) {
            const ssize_t n = pread(fd_, p, size, static_cast<off_t>(offset));
            if (n <= 0) return false;
            p += n;
            offset += static_cast<uint64_t>(n);
            size -= static_cast<size_t>(n);
        }
        return true;
    }

private:
    int fd_;
};

// True when `count` entries of `entrySize` bytes from `offset` end inside a file of `fileSize`
// bytes; no product or sum may wrap.
bool InsideFile(uint64_t offset, uint64_t count, uint64_t entrySize, uint64_t fileSize) {
    if (offset > fileSize) return false;
    if (entrySize != 0 && count > (fileSize - offset) / entrySize) return false;
    return true;
}

// True when the dynamic segment `ph` carries the PIE flag (DT_FLAGS_1 with DF_1_PIE).
bool HasPieFlag(const File& file, const Phdr& ph) {
    const uint64_t all = ph.p_filesz / sizeof(Dyn);
    const uint64_t entries = all < kMaxDynamicEntries ? all : kMaxDynamicEntries;
    std::vector<Dyn> block(kDynamicBlock);
    for (uint64_t at = 0; at < entries; at += kDynamicBlock) {
        const size_t n = static_cast<size_t>(entries - at < kDynamicBlock ? entries - at : kDynamicBlock);
        if (!file.ReadAt(ph.p_offset + at * sizeof(Dyn), block.data(), n * sizeof(Dyn))) return false;
        for (size_t i = 0; i < n; ++i) {
            if (block[i].d_tag == DT_NULL) return false;
            if (block[i].d_tag == DT_FLAGS_1 && (block[i].d_un.d_val & DF_1_PIE) != 0) return true;
        }
    }
    return false;
}

bool SectionTableInside(const File& file, const Ehdr& eh, uint64_t size) {
    if (eh.e_shoff == 0) return true;   // no section header table
    if (eh.e_shentsize != sizeof(Shdr)) return false;
    uint64_t count = eh.e_shnum;
    if (count == 0) {
        // Extended numbering: the count stands in the first entry.
        Shdr first;
        if (!InsideFile(eh.e_shoff, 1, sizeof(Shdr), size) || !file.ReadAt(eh.e_shoff, &first, sizeof first))
            return false;
        count = first.sh_size;
    }
    return InsideFile(eh.e_shoff, count, sizeof(Shdr), size);
}

}  // namespace

bool IsExecutableForThisMachine(int fd) {
    const File file(fd);
    const int64_t fileSize = file.RegularSize();
    if (fileSize < static_cast<int64_t>(sizeof(Ehdr))) return false;
    const uint64_t size = static_cast<uint64_t>(fileSize);
    Ehdr eh;
    if (!file.ReadAt(0, &eh, sizeof eh)) return false;

    const Ehdr& self = __ehdr_start;
    if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != self.e_ident[EI_CLASS] ||
        eh.e_ident[EI_DATA] != self.e_ident[EI_DATA] || eh.e_ident[EI_VERSION] != EV_CURRENT ||
        eh.e_machine != self.e_machine || eh.e_version != EV_CURRENT || eh.e_ehsize != sizeof(Ehdr))
        return false;
    if (eh.e_type != ET_EXEC && eh.e_type != ET_DYN) return false;

    // No program has PN_XNUM segments; the extended count is not followed.
    if (eh.e_phentsize != sizeof(Phdr) || eh.e_phnum == 0 || eh.e_phnum >= PN_XNUM ||
        !InsideFile(eh.e_phoff, eh.e_phnum, sizeof(Phdr), size))
        return false;
    if (!SectionTableInside(file, eh, size)) return false;

    std::vector<Phdr> phdrs(eh.e_phnum);
    if (!file.ReadAt(eh.e_phoff, phdrs.data(), phdrs.size() * sizeof(Phdr))) return false;
    bool loadable = false, interpreter = false, pie = false;
    for (const Phdr& ph : phdrs) {
        const bool read = ph.p_type == PT_LOAD || ph.p_type == PT_INTERP || ph.p_type == PT_DYNAMIC;
        if (read && !InsideFile(ph.p_offset, ph.p_filesz, 1, size)) return false;
        if (ph.p_type == PT_LOAD) loadable = true;
        if (ph.p_type == PT_INTERP) interpreter = true;
        if (ph.p_type == PT_DYNAMIC && HasPieFlag(file, ph)) pie = true;
    }
    if (!loadable) return false;
    // A position-independent program names its interpreter or, linked statically, carries the
    // PIE flag; a shared library has neither.
    return eh.e_type == ET_EXEC || interpreter || pie;
}
