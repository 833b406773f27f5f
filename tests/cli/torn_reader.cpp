// Reads a file whole, again and again, as fast as it can until a stop file appears, and
// checks that every read is one of the given whole contents: what a mail program reading
// the signature at any moment would get.
// Usage: torn_reader FILE STOP-FILE ALLOWED-CONTENT-FILE...
// Prints "reads=N distinct=D bad=B" and exits 1 when any read was missing, empty or partial.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

bool readWhole(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: torn_reader FILE STOP-FILE ALLOWED-CONTENT-FILE...\n";
        return 2;
    }
    const std::string file = argv[1];
    const std::string stop = argv[2];
    std::set<std::string> allowed;
    for (int i = 3; i < argc; ++i) {
        std::string bytes;
        if (!readWhole(argv[i], bytes) || bytes.empty()) {
            std::cerr << "torn_reader: cannot read " << argv[i] << '\n';
            return 2;
        }
        allowed.insert(bytes);
    }

    long reads = 0;
    long bad = 0;
    std::set<std::string> seen;
    std::string bytes;
    // One more round after the stop file appears, so the last write is read too.
    for (bool last = false; !last;) {
        last = std::filesystem::exists(stop);
        for (int i = 0; i < 64; ++i) {
            ++reads;
            if (!readWhole(file, bytes) || !allowed.contains(bytes)) {
                if (++bad <= 5)
                    std::cerr << "torn_reader: read " << reads << " got " << bytes.size() << " bytes: '"
                              << bytes << "'\n";
                continue;
            }
            seen.insert(bytes);
        }
    }
    std::cout << "reads=" << reads << " distinct=" << seen.size() << " bad=" << bad << '\n';
    return bad == 0 ? 0 : 1;
}
