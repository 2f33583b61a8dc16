// The beginning-shift search written the plain way, as the benchmark's
// reference: it reads the first buffer-full of each file with the default
// buffer sizes, and if they differ tries every shift in turn, test A (file 1
// carries the extra bytes) before test B, each test a byte loop over the
// whole overlap that stops at the first difference. It prints what it found.
#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

constexpr uint32_t bufSize1 = 0x400000, bufSize2 = 0x100000;
uint8_t buf1[bufSize1], buf2[bufSize2];

int blocksDiffer(const uint8_t* a, const uint8_t* b, uint32_t n) {
    for (uint32_t k = 0; k < n; k++)
        if (a[k] != b[k]) return 1;
    return 0;
}

int blocksDifferMin(const uint8_t* a, const uint8_t* b, uint32_t lenA, uint32_t lenB) {
    return blocksDiffer(a, b, std::min(lenA, lenB));
}

// The first min(size, file length) bytes of the file; 0 when it can't be read.
uint32_t readFirst(const char* name, uint8_t* buf, uint32_t size) {
    FILE* f = fopen(name, "rb");
    if (f == nullptr || fseek(f, 0, SEEK_END) != 0) return 0;
    long length = ftell(f);
    uint32_t n = static_cast<uint32_t>(std::min<long>(length, size));
    if (fseek(f, 0, SEEK_SET) != 0 || fread(buf, 1, n, f) != n) n = 0;
    fclose(f);
    return n;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: plain_sync FILE1 FILE2\n");
        return 2;
    }
    uint32_t len1 = readFirst(argv[1], buf1, bufSize1);
    uint32_t len2 = readFirst(argv[2], buf2, bufSize2);
    if (len1 == 0 || len2 == 0) {
        fprintf(stderr, "plain_sync: can't read the files\n");
        return 2;
    }
    uint32_t lenMin = std::min(len1, len2);
    if (!blocksDiffer(buf1, buf2, lenMin)) {
        printf("no different bytes in the first %u bytes\n", lenMin);
        return 0;
    }
    uint32_t bound = lenMin >> 1;
    for (uint32_t shift = 0; shift < bound; shift++) {
        if (!blocksDifferMin(buf1 + shift, buf2, len1 - shift, len2)) {
            printf("test A: file 1 from %u, equalsLength %u\n", shift,
                   std::min(len1 - shift, len2));
            return 0;
        }
        if (!blocksDifferMin(buf1, buf2 + shift, len1, len2 - shift)) {
            printf("test B: file 2 from %u, equalsLength %u\n", shift,
                   std::min(len2 - shift, len1));
            return 0;
        }
    }
    printf("no shift below %u\n", bound);
    return 0;
}
