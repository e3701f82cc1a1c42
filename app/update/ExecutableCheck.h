#pragma once
// Whether a downloaded file is a program this machine can run, judged from its ELF headers alone
// (nothing of it is loaded or run).

// True when the open file `fd` (read at offsets with pread; its offset is left alone) is a regular
// file holding an ELF image of the running program's class, byte order and machine, of an
// executable type (ET_EXEC, or ET_DYN with a program interpreter or the PIE flag, which a shared
// library has neither of), whose program header table, loadable segments and (when present)
// section header table lie inside the file. A file cut short loses its section header table or
// its last segment, so it fails.
bool IsExecutableForThisMachine(int fd);
