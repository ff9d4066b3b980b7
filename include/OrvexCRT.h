/*
 * OrvexCRT.h - the C runtime that OrvexC.dll gives title modules.
 *
 * OrvexC.dll exports 153 C runtime functions (ordinals 1001-1157). 139 of
 * them lead straight into the system C runtime (msvcrt.dll), so a module
 * shares that runtime's heap, errno, file descriptors and streams with every
 * other user of it in the process: memory from malloc or strdup may be freed
 * with free anywhere. They are the standard functions of the same names, and
 * the POSIX-style names access, open, read, write, close, lseek, stat, strdup,
 * stricmp and the like are msvcrt's underscore functions (_access, _open, ...):
 * declare them with the C runtime's own headers.
 *
 * The fourteen DOS-style functions below are the library's own.
 * Plain C (C89), usable from C++. Drive numbers: 0 is the current drive,
 * 1 is A, 2 is B, and so on.
 */
#ifndef ORVEXCRT_H
#define ORVEXCRT_H

#ifdef __cplusplus
extern "C" {
#endif

#ifndef ORVEXC_API
#define ORVEXC_API __declspec(dllimport)
#endif

/* The find block of findfirst/findnext/findclose: 276 bytes, owned by the
   caller. ff_reserved is null when the block holds no open search. */
struct ffblk {
    void*          ff_reserved;  /* the library's search record */
    unsigned long  ff_fsize;     /* low 32 bits of the file size */
    unsigned long  ff_attrib;    /* low 8 bits of the Win32 attributes */
    unsigned short ff_ftime;     /* last write, MS-DOS time (UTC) */
    unsigned short ff_fdate;     /* last write, MS-DOS date (UTC) */
    char           ff_name[260]; /* the long file name */
};

/* The record getdfree fills. */
struct dfree {
    unsigned long df_avail;  /* available clusters */
    unsigned long df_total;  /* total clusters */
    unsigned long df_bsec;   /* bytes per sector */
    unsigned long df_sclus;  /* sectors per cluster */
};

/* 276 bytes in the 32-bit library (the pointer is wider in a 64-bit build). */
typedef char orvexcrt_ffblk_is_276_bytes[(sizeof(struct ffblk) == 272 + sizeof(void*)) ? 1 : -1];
typedef char orvexcrt_dfree_is_16_bytes[(sizeof(struct dfree) == 16) ? 1 : -1];

/* stpcpy and pow10 are also the names of GCC and Clang built-in functions of
   another meaning: GCC's stpcpy returns the end of the copy and is folded at
   compile time (or made out of a strcpy and a strlen), its pow10 takes a
   double. Under those names a module's results would depend on the compiler
   and its optimisation level, so with GCC and Clang the two are declared as
   orvexc_stpcpy and orvexc_pow10, bound by assembler name to the library's
   exports; stpcpy and pow10 are macros for them. GCC builds the import's
   symbol from the bare name (adding the C prefix) and only for an import;
   Clang takes the symbol as given. Other compilers have no such built-ins. */
#if defined(__clang__)
#define ORVEXC_CRT_STR(x) #x
#define ORVEXC_CRT_XSTR(x) ORVEXC_CRT_STR(x)
#define ORVEXC_CRT_BIND(name) __asm__(ORVEXC_CRT_XSTR(__USER_LABEL_PREFIX__) #name)
#elif defined(__GNUC__)
#define ORVEXC_CRT_BIND(name) __asm__(#name) __attribute__((dllimport))
#endif
#ifdef ORVEXC_CRT_BIND
#define stpcpy orvexc_stpcpy
#define pow10 orvexc_pow10
#else
#define ORVEXC_CRT_BIND(name)
#endif

/* Copies src with its terminator to dest; returns dest (its start), not the
   end of the copy as POSIX stpcpy does. */
ORVEXC_API char* __cdecl stpcpy(char* dest, const char* src) ORVEXC_CRT_BIND(stpcpy);
/* Starts a search for pattern. attrib 0 finds files that are not hidden,
   system or directories; a nonzero attrib finds entries sharing a bit with
   it (0x10: directories only). 0 when found, -1 otherwise (no search open).
   End every successful search with findclose. */
ORVEXC_API int __cdecl findfirst(const char* pattern, struct ffblk* block, int attrib);
/* The next match of the block's search (attrib 0: only read-only, archive
   and normal files). 0 when found; -1 leaves the block showing the last
   match and the search open. */
ORVEXC_API int __cdecl findnext(struct ffblk* block);
/* Ends the block's search: nonzero when closed, -1 if none was open. */
ORVEXC_API int __cdecl findclose(struct ffblk* block);
/* Composes path (260 bytes, cut to fit) from drive, dir, name and ext, as
   _makepath does, by characters of the multibyte code page. */
ORVEXC_API void __cdecl fnmerge(char* path, const char* drive, const char* dir, const char* name,
                                const char* ext);
/* Splits path into drive (3 bytes), dir, name and ext (256 bytes each), as
   _splitpath does, by characters of the multibyte code page; returns 0. */
ORVEXC_API int __cdecl fnsplit(const char* path, char* drive, char* dir, char* name, char* ext);
/* The full name of file found in the current directory or along PATH, in
   one buffer shared by all callers (overwritten by the next call); null
   when not found or file is null. A directory of that name is found as a
   file is (the C runtime's _searchenv rule): check it if it matters. */
ORVEXC_API char* __cdecl searchpath(const char* file);
/* The full current directory of drive (0: the current drive, 1: A, 3: C),
   drive letter included, into a buffer of 260 bytes. 0 is success; -1 when
   the drive has no current directory or directory is null. */
ORVEXC_API int __cdecl getcurdir(int drive, char* directory);
/* Free and total clusters of drive; all zeros when the query fails. */
ORVEXC_API void __cdecl getdfree(unsigned char drive, struct dfree* record);
/* The current drive (1 for A). */
ORVEXC_API int __cdecl getdisk(void);
/* Makes drive current: 0 or -1. */
ORVEXC_API int __cdecl setdisk(int drive);
/* Locks length bytes from the handle's current position, waiting while they
   are locked elsewhere; offset is not used. 0 or -1. */
ORVEXC_API int __cdecl lock(int handle, long offset, long length);
/* Unlocks length bytes from the handle's current position; offset is not
   used. 0 or -1. */
ORVEXC_API int __cdecl unlock(int handle, long offset, long length);
/* 10 raised to the power p (an int, unlike GCC's pow10 of a double). */
ORVEXC_API double __cdecl pow10(int p) ORVEXC_CRT_BIND(pow10);

#ifdef __cplusplus
}
#endif

#endif /* ORVEXCRT_H */
