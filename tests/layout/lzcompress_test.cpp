// The layout program's compressor against the platform's LZ library, which
// must give back every byte, and against mscompress on the same data.
#include <gtest/gtest.h>

#include <windows.h>
// after windows.h, which it needs
#include <lzexpand.h>

#include <string>

#include "install/lzfile.h"
#include "layout/lzcompress.h"
#include "support/testutil.h"

namespace {

// Words in lines: what compresses as text does.
std::string Text(size_t n, unsigned seed) {
    static const char* const words[] = {"quill ", "font ", "kai ", "song ", "table ", "setup\r\n", "許功 "};
    std::string text;
    for (unsigned r = seed; text.size() < n; r = r * 1103515245 + 12345) text += words[(r >> 16) % 7];
    return text.substr(0, n);
}

// Compresses the file at path into path + ".lz"; its bytes, or -1.
long CompressFile(const std::string& path) {
    const HFILE in = _lopen(path.c_str(), OF_READ);
    const HFILE out = _lcreat((path + ".lz").c_str(), 0);
    const long written = LzCompress(in, static_cast<unsigned long>(ReadBytes(path).size()), out, 'T');
    _lclose(in);
    _lclose(out);
    return written;
}

// What the library makes of a compressed file.
std::string Expanded(const std::string& lz, const std::string& to) {
    const int source = OpenLzFile(lz.c_str());
    const HFILE target = _lcreat(to.c_str(), 0);
    const long n = ExpandAll(source, target);
    LZClose(source);
    _lclose(target);
    return n < 0 ? "<error " + std::to_string(n) + ">" : ReadBytes(to);
}

// Empty, tiny, around the longest reference (18), the window (4096, less
// 18) and the block of 65536, long runs, random and text data.
TEST(Compressor, TheLibraryGivesBackEveryByte) {
    const struct {
        const char* what;
        std::string data;
    } rows[] = {
        {"empty", ""},
        {"one byte", "Q"},
        {"two", "QQ"},
        {"three", "QQQ"},
        {"17 of one byte", std::string(17, 'a')},
        {"18", std::string(18, 'a')},
        {"19", std::string(19, 'a')},
        {"blanks, as the ring starts", std::string(5000, ' ')},
        {"window less the reference", Text(4078, 1)},
        {"window less 17", Text(4079, 2)},
        {"window less one", Text(4095, 3)},
        {"window", Text(4096, 4)},
        {"window and one", Text(4097, 5)},
        {"a block and a reference", Text(65536 + 18, 6)},
        {"a block and 17", Text(65536 + 17, 7)},
        {"zeros", std::string(200000, '\0')},
        {"pattern", Pattern(150000, 3)},
        {"random", ReadBytes(LzData("random.bin"))},
        {"text", ReadBytes(LzData("text.bin"))},
    };
    TempDir dir;
    for (const auto& r : rows) {
        const std::string path = dir.Write("in.bin", r.data);
        const long written = CompressFile(path);
        ASSERT_GE(written, 14) << r.what;
        const std::string lz = ReadBytes(path + ".lz");
        EXPECT_EQ(static_cast<size_t>(written), lz.size()) << r.what;
        EXPECT_EQ(lz.substr(0, 10), std::string("SZDD\x88\xF0\x27\x33" "AT", 10)) << r.what;
        EXPECT_TRUE(Expanded(path + ".lz", dir.Join("out.bin")) == r.data) << r.what;
    }
}

// The same bytes every time, and only counted when there is no output.
TEST(Compressor, SameBytesEveryTimeAndACountWithoutOutput) {
    TempDir dir;
    const std::string path = dir.Write("in.bin", Text(300000, 9));
    CompressFile(path);
    const std::string first = ReadBytes(path + ".lz");
    CompressFile(path);
    EXPECT_TRUE(ReadBytes(path + ".lz") == first);
    const HFILE in = _lopen(path.c_str(), OF_READ);
    EXPECT_EQ(LzCompress(in, 300000, HFILE_ERROR, 'T'), static_cast<long>(first.size()));
    _lclose(in);
    // A source shorter than it was said to be is a failed read.
    const HFILE shorter = _lopen(path.c_str(), OF_READ);
    EXPECT_EQ(LzCompress(shorter, 300001, HFILE_ERROR, 'T'), -1);
    _lclose(shorter);
}

// No larger than Debian's mscompress makes the same data.
TEST(Compressor, NoLargerThanMscompress) {
    TempDir dir;
    for (const char* name : {"text", "big", "random"}) {
        const std::string path = dir.Write("in.bin", ReadBytes(LzData(std::string(name) + ".bin")));
        const long ours = CompressFile(path);
        EXPECT_LE(ours, static_cast<long>(ReadBytes(LzData(std::string(name) + ".lz")).size())) << name;
    }
}

}  // namespace
