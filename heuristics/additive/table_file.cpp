#include "heuristics/additive/table_file.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "heuristics/additive/file_system.h"

namespace fifteen {

namespace {

constexpr char fileMagic[8] = {'F', '1', '5', 'A', 'D', 'D', 'T', 'B'};
constexpr std::size_t pageBytes = 4096;

struct StoredTableEntry {
    int8_t tiles[maxGroupSize];
    uint32_t size;
    uint32_t zero;
    uint64_t entryCount;
    uint64_t offset;
};

struct FileHeader {
    char magic[8];
    uint32_t version;
    uint32_t tableCount;
    StoredTableEntry tables[maxStoredTables];
    uint64_t checksum;
};
static_assert(sizeof(StoredTableEntry) == 32 && sizeof(FileHeader) == 152);
// The fields are written as they are in memory: little-endian on every system this
// builds for, so that a file moves between them.
static_assert(std::endian::native == std::endian::little);

constexpr uint64_t prime1 = 0x9E3779B185EBCA87ULL;
constexpr uint64_t prime2 = 0xC2B2AE3D27D4EB4FULL;

uint64_t rotateLeft(uint64_t x, int r) {
    return (x << r) | (x >> (64 - r));
}

uint64_t mixWord(uint64_t lane, uint64_t word) {
    return rotateLeft(lane + word * prime2, 31) * prime1;
}

// The header as it would be written for these groups; offsets page-aligned.
FileHeader headerFor(const std::vector<TileGroup>& groups) {
    FileHeader header{};
    std::memcpy(header.magic, fileMagic, sizeof fileMagic);
    header.version = tableFileVersion;
    header.tableCount = static_cast<uint32_t>(groups.size());
    uint64_t offset = pageBytes;
    for (std::size_t k = 0; k < groups.size(); ++k) {
        StoredTableEntry& entry = header.tables[k];
        std::memcpy(entry.tiles, groups[k].tiles.data(), maxGroupSize);
        entry.size = static_cast<uint32_t>(groups[k].size);
        entry.entryCount = static_cast<uint64_t>(groupEntryCount(groups[k].size));
        entry.offset = offset;
        offset += (entry.entryCount + pageBytes - 1) / pageBytes * pageBytes;
    }
    return header;
}

uint64_t headerChecksum(FileHeader header) {
    header.checksum = 0;
    return tableChecksum(&header, sizeof header, 0);
}

}  // namespace

const char* describeTableFileStatus(TableFileStatus status) {
    switch (status) {
        case TableFileStatus::ok:
            return "is valid";
        case TableFileStatus::missing:
            return "is missing";
        case TableFileStatus::unreadable:
            return "cannot be read";
        case TableFileStatus::notRegular:
            return "is not a regular file";
        case TableFileStatus::truncated:
            return "is truncated";
        case TableFileStatus::otherFormat:
            return "is not a table file";
        case TableFileStatus::otherVersion:
            return "is of another format version";
        case TableFileStatus::otherTables:
            return "holds other tables";
        case TableFileStatus::corrupt:
            return "is corrupt (checksum mismatch)";
    }
    return "is invalid";
}

uint64_t tableChecksum(const void* data, std::size_t bytes, uint64_t seed) {
    const auto* p = static_cast<const unsigned char*>(data);
    uint64_t lanes[4] = {seed + prime1 + prime2, seed + prime2, seed, seed - prime1};
    std::size_t done = 0;
    for (; done + 32 <= bytes; done += 32) {
        uint64_t words[4];
        std::memcpy(words, p + done, sizeof words);
        for (std::size_t k = 0; k < 4; ++k) lanes[k] = mixWord(lanes[k], words[k]);
    }
    uint64_t h = rotateLeft(lanes[0], 1) + rotateLeft(lanes[1], 7) + rotateLeft(lanes[2], 12) +
                 rotateLeft(lanes[3], 18) + bytes;
    for (; done < bytes; ++done) h = rotateLeft(h ^ (p[done] * prime1), 11) * prime2;
    h ^= h >> 33;
    h *= prime2;
    h ^= h >> 29;
    return h;
}

bool writeTableFile(const std::string& path, const std::vector<TableToStore>& tables,
                    std::string& error, const std::atomic<bool>* stop) {
    std::vector<TileGroup> groups;
    for (const TableToStore& table : tables) groups.push_back(table.group);
    if (groups.empty() || groups.size() > static_cast<std::size_t>(maxStoredTables)) {
        error = "no tables to write";
        return false;
    }
    FileHeader header = headerFor(groups);
    uint64_t checksum = headerChecksum(header);
    for (std::size_t k = 0; k < tables.size(); ++k) {
        checksum = tableChecksum(tables[k].entries, header.tables[k].entryCount, checksum);
    }
    header.checksum = checksum;

    DurableFile file;
    if (!file.create(path, error)) return false;
    bool ok = file.write(&header, sizeof header, error, stop);
    uint64_t position = sizeof header;
    static const char zeros[pageBytes] = {};
    for (std::size_t k = 0; ok && k < tables.size(); ++k) {
        const StoredTableEntry& entry = header.tables[k];
        ok = file.write(zeros, entry.offset - position, error, stop) &&
             file.write(tables[k].entries, entry.entryCount, error, stop);
        position = entry.offset + entry.entryCount;
    }
    return ok && file.commit(error);
}

StoredTables::StoredTables(StoredTables&& other) noexcept {
    *this = std::move(other);
}

StoredTables& StoredTables::operator=(StoredTables&& other) noexcept {
    if (this != &other) {
        close();
        base_ = std::exchange(other.base_, nullptr);
        size_ = std::exchange(other.size_, 0);
        owned_ = std::move(other.owned_);
        entries_ = std::move(other.entries_);
        other.owned_.clear();
        other.entries_.clear();
    }
    return *this;
}

StoredTables::~StoredTables() {
    close();
}

void StoredTables::close() {
    releaseZeroedPages(base_, size_);
    base_ = nullptr;
    size_ = 0;
    for (uint8_t* block : owned_) std::free(block);
    owned_.clear();
    entries_.clear();
}

void StoredTables::adopt(std::vector<uint8_t*> blocks) {
    close();
    owned_ = std::move(blocks);
    entries_.assign(owned_.begin(), owned_.end());
}

TableFileStatus StoredTables::open(const std::string& path, const std::vector<TileGroup>& groups) {
    close();
    void* base = nullptr;
    std::size_t size = 0;
    const ReadResult read = readWholeFile(path, base, size);
    if (read == ReadResult::missing) return TableFileStatus::missing;
    if (read == ReadResult::notRegular) return TableFileStatus::notRegular;
    if (read != ReadResult::ok) return TableFileStatus::unreadable;
    FileHeader header{};
    if (size < sizeof header) {
        releaseZeroedPages(base, size);
        return size < sizeof fileMagic ? TableFileStatus::otherFormat : TableFileStatus::truncated;
    }
    const auto* bytes = static_cast<const uint8_t*>(base);
    std::memcpy(&header, bytes, sizeof header);
    const FileHeader expected = headerFor(groups);
    TableFileStatus status = TableFileStatus::ok;
    if (std::memcmp(header.magic, fileMagic, sizeof fileMagic) != 0) {
        status = TableFileStatus::otherFormat;
    } else if (header.version != tableFileVersion) {
        status = TableFileStatus::otherVersion;
    } else if (header.tableCount != expected.tableCount ||
               std::memcmp(header.tables, expected.tables, sizeof header.tables) != 0) {
        status = TableFileStatus::otherTables;
    } else {
        const StoredTableEntry& last = header.tables[groups.size() - 1];
        if (size < last.offset + last.entryCount) status = TableFileStatus::truncated;
    }
    if (status == TableFileStatus::ok) {
        uint64_t checksum = headerChecksum(header);
        for (std::size_t k = 0; k < groups.size(); ++k) {
            checksum = tableChecksum(bytes + header.tables[k].offset, header.tables[k].entryCount,
                                     checksum);
        }
        if (checksum != header.checksum) status = TableFileStatus::corrupt;
    }
    if (status != TableFileStatus::ok) {
        releaseZeroedPages(base, size);
        return status;
    }
    base_ = base;
    size_ = size;
    for (std::size_t k = 0; k < groups.size(); ++k) {
        entries_.push_back(bytes + header.tables[k].offset);
    }
    return status;
}

}  // namespace fifteen
