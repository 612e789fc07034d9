// Opens arbitrary bytes as an archive and walks it as the framework would:
// look every stored name up, then extract into bounded buffers.
#include "ui/markup/ZipArchive.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using namespace SkinUI;

namespace {

// Cap on any buffer this harness sizes from a declared entry size; the
// reader itself must stay correct whatever the caller passes.
const size_t kMaxBuffer = 1u << 20;

unsigned Read16(const uint8_t* p) { return p[0] | (p[1] << 8); }

// Names as they appear in central records of the input, found by their
// signature (the reader's own directory is not exposed).
std::vector<std::wstring> CandidateNames(const uint8_t* data, size_t size)
{
    std::vector<std::wstring> names;
    for (size_t i = 0; i + 46 <= size && names.size() < 64; ++i) {
        if (data[i] != 'P' || data[i + 1] != 'K' || data[i + 2] != 1 || data[i + 3] != 2) continue;
        const size_t length = Read16(data + i + 28);
        if (length == 0 || length > size - i - 46) continue;
        names.push_back(Platform::MultiByteToWide(reinterpret_cast<const char*>(data + i + 46), length, 65001));
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::unique_ptr<ZipArchive> archive = ZipArchive::OpenMemory(data, size);
    if (archive == nullptr) return 0;
    std::vector<unsigned char> buffer;
    for (const std::wstring& name : CandidateNames(data, size)) {
        for (bool ignoreCase : {true, false}) {
            int index = -1;
            ZipEntryInfo info;
            if (archive->FindEntry(name.c_str(), index, info, ignoreCase) != ZIP_RESULT_OK) continue;
            // Callers allocate from the declared size, so the reader must
            // never report one that the entry's bytes cannot back.
            if (info.compressedSize < 0 || info.uncompressedSize < 0 ||
                static_cast<size_t>(info.compressedSize) > size ||
                static_cast<unsigned long long>(info.uncompressedSize) >
                    static_cast<unsigned long long>(info.compressedSize) * 1032 + 258) {
                __builtin_trap();
            }
            // Exactly the declared size (what the loaders do), then less.
            buffer.assign(std::min(static_cast<size_t>(info.uncompressedSize), kMaxBuffer), 0);
            archive->ExtractToMemory(index, buffer.data(), buffer.size());
            buffer.assign(buffer.size() / 3 + 1, 0);
            archive->ExtractToMemory(index, buffer.data(), buffer.size());
        }
    }
    // Indices straight, including ones outside the directory.
    buffer.assign(4096, 0);
    for (int index = -1; index < 70; ++index) archive->ExtractToMemory(index, buffer.data(), buffer.size());
    return 0;
}
