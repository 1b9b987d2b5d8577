// The trace writes its lines to standard output exactly as formatted.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include <string>

#include "common/trace.h"
#include "support/testutil.h"

namespace {

// Points the C standard output at a file for the life of the object.
class CapturedStdout {
public:
    explicit CapturedStdout(const std::string& file) : file_(file) {
        fflush(stdout);
        saved_ = _dup(_fileno(stdout));
        int fd = _open(file.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
        _dup2(fd, _fileno(stdout));
        _close(fd);
    }
    ~CapturedStdout() { Restore(); }
    std::string Read() {
        Restore();
        std::string bytes;
        FILE* f = fopen(file_.c_str(), "rb");
        if (!f) return bytes;
        char buf[256];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
        fclose(f);
        return bytes;
    }

private:
    void Restore() {
        if (saved_ < 0) return;
        fflush(stdout);
        _dup2(saved_, _fileno(stdout));
        _close(saved_);
        saved_ = -1;
    }
    std::string file_;
    int saved_ = -1;
};

TEST(Trace, WritesExactlyWhatTheFormatsSay) {
    TempDir dir;
    CapturedStdout out(dir.Join("trace.txt"));
    Trace("Adding %s into group %s\n", "Viewer", "Font Kit");
    Trace("\tDDE Error 0x%x\n", 0x4009u);
    Trace("\tTemp File \"%s\" created\n", "C:\\TEMP\\tmp1.tmp");
    EXPECT_EQ(out.Read(),
              "Adding Viewer into group Font Kit\n\tDDE Error 0x4009\n"
              "\tTemp File \"C:\\TEMP\\tmp1.tmp\" created\n");
}

}  // namespace
