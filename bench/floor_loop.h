// The floors' shared read loop: both files read with exactly the reads of the
// program under test (4 MiB of file 1, then four times 1 MiB of file 2), plain
// read(2) into static page-aligned buffers, each block pair handed to onBlocks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

constexpr size_t floorBuf1 = 4 << 20;
constexpr size_t floorBuf2 = 1 << 20;
alignas(4096) static uint8_t floorIn1[floorBuf1];
alignas(4096) static uint8_t floorIn2[floorBuf2];

inline int openOrDie(const char* name) {
    int fd = open(name, O_RDONLY);
    if (fd < 0) {
        perror(name);
        exit(2);
    }
    return fd;
}

inline void readOrDie(int fd, uint8_t* buf, size_t n) {
    if (read(fd, buf, n) != static_cast<ssize_t>(n)) {
        perror("read");
        exit(2);
    }
}

inline size_t fileLength(int fd) {
    struct stat st;
    fstat(fd, &st);
    return static_cast<size_t>(st.st_size);
}

// onBlocks(block1, block2, length, offset of the block's first byte)
template <class F> void floorCompare(const char* name1, const char* name2, F onBlocks) {
    int fd1 = openOrDie(name1);
    int fd2 = openOrDie(name2);
    size_t left = fileLength(fd1) < fileLength(fd2) ? fileLength(fd1) : fileLength(fd2);
    size_t pos = 0;
    while (left != 0) {
        size_t len1 = left < floorBuf1 ? left : floorBuf1;
        readOrDie(fd1, floorIn1, len1);
        for (size_t at = 0; at < len1; at += floorBuf2) {
            size_t len2 = len1 - at < floorBuf2 ? len1 - at : floorBuf2;
            readOrDie(fd2, floorIn2, len2);
            onBlocks(floorIn1 + at, floorIn2, len2, pos);
            pos += len2;
        }
        left -= len1;
    }
}
