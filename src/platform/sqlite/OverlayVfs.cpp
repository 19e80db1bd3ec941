#include "platform/sqlite/OverlayVfs.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace nimbral {

namespace {

constexpr sqlite3_int64 kBlock = 4096;

// A file as the connections through the overlay see it: the real file's bytes below realLimit,
// unless a block of them was written, and whatever was written anywhere.
struct Picture {
    bool present = false;
    bool changed = false;  // differs from the real file: remembered for later opens
    sqlite3_int64 size = 0;
    sqlite3_int64 realLimit = -1;  // -1: not known until the real file is opened
    std::map<sqlite3_int64, std::vector<unsigned char>> blocks;

    void MakeEmpty() {
        present = true;
        changed = true;
        size = 0;
        realLimit = 0;
        blocks.clear();
    }
};

}  // namespace

struct OverlayVfs::State {
    sqlite3_vfs vfs{};
    sqlite3_vfs* real = nullptr;
    std::string name;
    // By the name SQLite opens the file under (its full path), for as long as the overlay lives: a
    // journal made, filled and deleted in memory is seen the same way by every later open.
    std::map<std::string, std::shared_ptr<Picture>> pictures;
};

namespace {

// One open file of the overlay.
struct OpenFile {
    OverlayVfs::State* state = nullptr;
    std::string name;  // empty for a temporary file
    std::shared_ptr<Picture> picture;
    bool mainDb = false;
    bool deleteOnClose = false;
    // The real file, opened as a clean opens it; none for a file that lives in memory only.
    std::unique_ptr<char[]> realStorage;
    sqlite3_file* real = nullptr;
    // The index of a write-ahead log, which only this connection uses.
    std::vector<std::unique_ptr<char[]>> shm;
};

// What SQLite allocates for each open file; the rest lives on the heap.
struct OverlayFile {
    sqlite3_file base;
    OpenFile* open;
};

OpenFile& Of(sqlite3_file* file) {
    return *reinterpret_cast<OverlayFile*>(file)->open;
}

// Bytes of the real file, zeros past what it still counts as holding.
int ReadReal(OpenFile& f, unsigned char* out, sqlite3_int64 amount, sqlite3_int64 offset) {
    const sqlite3_int64 fromReal = std::clamp<sqlite3_int64>(f.picture->realLimit - offset, 0, amount);
    std::memset(out + fromReal, 0, static_cast<std::size_t>(amount - fromReal));
    if (fromReal == 0)
        return SQLITE_OK;
    if (!f.real) {
        std::memset(out, 0, static_cast<std::size_t>(fromReal));
        return SQLITE_OK;
    }
    const int code = f.real->pMethods->xRead(f.real, out, static_cast<int>(fromReal), offset);
    // A short read has filled the rest with zeros, as the file would read past its end.
    return code == SQLITE_IOERR_SHORT_READ ? SQLITE_OK : code;
}

int Close(sqlite3_file* file) {
    OpenFile* f = reinterpret_cast<OverlayFile*>(file)->open;
    if (f->real && f->real->pMethods)
        f->real->pMethods->xClose(f->real);
    if (f->deleteOnClose)
        f->picture->present = false, f->picture->blocks.clear(), f->picture->size = 0, f->picture->realLimit = 0;
    // A file only read is not remembered: the next open sees the real file as it is then, however
    // another program has changed it meanwhile.
    if (!f->name.empty() && !f->picture->changed && f->picture.use_count() == 2)
        f->state->pictures.erase(f->name);
    delete f;
    return SQLITE_OK;
}

int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    OpenFile& f = Of(file);
    auto* out = static_cast<unsigned char*>(buffer);
    const sqlite3_int64 available = std::clamp<sqlite3_int64>(f.picture->size - offset, 0, amount);
    std::memset(out + available, 0, static_cast<std::size_t>(amount - available));
    for (sqlite3_int64 done = 0; done < available;) {
        const sqlite3_int64 at = offset + done;
        const sqlite3_int64 start = at / kBlock * kBlock;
        const sqlite3_int64 n = std::min(available - done, start + kBlock - at);
        if (const auto block = f.picture->blocks.find(start); block != f.picture->blocks.end()) {
            std::memcpy(out + done, block->second.data() + (at - start), static_cast<std::size_t>(n));
        } else if (const int code = ReadReal(f, out + done, n, at); code != SQLITE_OK) {
            return code;
        }
        done += n;
    }
    return available < amount ? SQLITE_IOERR_SHORT_READ : SQLITE_OK;
}

int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    OpenFile& f = Of(file);
    const auto* in = static_cast<const unsigned char*>(buffer);
    for (sqlite3_int64 done = 0; done < amount;) {
        const sqlite3_int64 at = offset + done;
        const sqlite3_int64 start = at / kBlock * kBlock;
        const sqlite3_int64 n = std::min<sqlite3_int64>(amount - done, start + kBlock - at);
        auto& block = f.picture->blocks[start];
        if (block.empty()) {
            block.resize(kBlock);
            // What the file held there before, up to where it ends now; zeros beyond.
            const sqlite3_int64 held = std::clamp<sqlite3_int64>(f.picture->size - start, 0, kBlock);
            if (const int code = ReadReal(f, block.data(), held, start); code != SQLITE_OK) {
                f.picture->blocks.erase(start);
                return code;
            }
        }
        std::memcpy(block.data() + (at - start), in + done, static_cast<std::size_t>(n));
        done += n;
    }
    f.picture->changed = true;
    f.picture->size = std::max(f.picture->size, offset + amount);
    return SQLITE_OK;
}

int Truncate(sqlite3_file* file, sqlite3_int64 size) {
    Picture& picture = *Of(file).picture;
    for (auto block = picture.blocks.lower_bound(size / kBlock * kBlock); block != picture.blocks.end();) {
        if (block->first >= size) {
            block = picture.blocks.erase(block);
        } else {
            std::fill(block->second.begin() + (size - block->first), block->second.end(), 0);
            ++block;
        }
    }
    picture.realLimit = std::min(picture.realLimit, size);
    picture.size = size;
    picture.changed = true;
    return SQLITE_OK;
}

int Sync(sqlite3_file*, int) {
    return SQLITE_OK;
}

int FileSize(sqlite3_file* file, sqlite3_int64* size) {
    *size = Of(file).picture->size;
    return SQLITE_OK;
}

// Locks are the real file's: whoever holds the real database meets this connection as a clean.
int Lock(sqlite3_file* file, int level) {
    OpenFile& f = Of(file);
    return f.mainDb && f.real ? f.real->pMethods->xLock(f.real, level) : SQLITE_OK;
}

int Unlock(sqlite3_file* file, int level) {
    OpenFile& f = Of(file);
    return f.mainDb && f.real ? f.real->pMethods->xUnlock(f.real, level) : SQLITE_OK;
}

int CheckReservedLock(sqlite3_file* file, int* reserved) {
    OpenFile& f = Of(file);
    if (f.mainDb && f.real)
        return f.real->pMethods->xCheckReservedLock(f.real, reserved);
    *reserved = 0;
    return SQLITE_OK;
}

// Only what asks about the real file goes through: every other control could change it (a size
// hint grows the file) or is no business of a file in memory.
int FileControl(sqlite3_file* file, int op, void* argument) {
    OpenFile& f = Of(file);
    if (op == SQLITE_FCNTL_WIN32_GET_HANDLE && f.real)
        return f.real->pMethods->xFileControl(f.real, op, argument);
    return SQLITE_NOTFOUND;
}

int SectorSize(sqlite3_file*) {
    return static_cast<int>(kBlock);
}

int DeviceCharacteristics(sqlite3_file*) {
    return 0;
}

int ShmMap(sqlite3_file* file, int region, int regionSize, int extend, void volatile** mapped) {
    OpenFile& f = Of(file);
    const auto index = static_cast<std::size_t>(region);
    if (index >= f.shm.size()) {
        if (!extend) {
            *mapped = nullptr;
            return SQLITE_OK;
        }
        while (f.shm.size() <= index)
            f.shm.push_back(std::make_unique<char[]>(static_cast<std::size_t>(regionSize)));
    }
    *mapped = f.shm[index].get();
    return SQLITE_OK;
}

// One connection uses the index, so there is nobody to lock out.
int ShmLock(sqlite3_file*, int, int, int) {
    return SQLITE_OK;
}

void ShmBarrier(sqlite3_file*) {
    std::atomic_thread_fence(std::memory_order_seq_cst);
}

int ShmUnmap(sqlite3_file* file, int) {
    Of(file).shm.clear();
    return SQLITE_OK;
}

constexpr sqlite3_io_methods kMethods = {
    2,
    Close,
    Read,
    Write,
    Truncate,
    Sync,
    FileSize,
    Lock,
    Unlock,
    CheckReservedLock,
    FileControl,
    SectorSize,
    DeviceCharacteristics,
    ShmMap,
    ShmLock,
    ShmBarrier,
    ShmUnmap,
    nullptr,
    nullptr,
};

OverlayVfs::State& StateOf(sqlite3_vfs* vfs) {
    return *static_cast<OverlayVfs::State*>(vfs->pAppData);
}

int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    OverlayVfs::State& state = StateOf(vfs);
    auto* overlayFile = reinterpret_cast<OverlayFile*>(file);
    overlayFile->base.pMethods = nullptr;
    overlayFile->open = nullptr;

    auto f = std::make_unique<OpenFile>();
    f->state = &state;
    f->mainDb = (flags & SQLITE_OPEN_MAIN_DB) != 0;
    f->deleteOnClose = (flags & SQLITE_OPEN_DELETEONCLOSE) != 0;
    bool readOnly = false;
    const bool temporary =
        !name ||
        (flags & (SQLITE_OPEN_TEMP_DB | SQLITE_OPEN_TEMP_JOURNAL | SQLITE_OPEN_SUBJOURNAL | SQLITE_OPEN_TRANSIENT_DB));
    if (temporary) {
        f->picture = std::make_shared<Picture>();
        f->picture->MakeEmpty();
    } else {
        std::shared_ptr<Picture>& picture = state.pictures[name];
        // What a failed open learnt of the real file is not kept: nothing of it is open.
        const auto failed = [&state, &picture, name](int code) {
            if (!picture->changed && picture.use_count() == 1)
                state.pictures.erase(name);
            return code;
        };
        if (!picture) {
            picture = std::make_shared<Picture>();
            int exists = 0;
            if (const int code = state.real->xAccess(state.real, name, SQLITE_ACCESS_EXISTS, &exists);
                code != SQLITE_OK) {
                return failed(code);
            }
            picture->present = exists != 0;
            picture->realLimit = exists ? -1 : 0;
        }
        if (!picture->present) {
            if (!(flags & SQLITE_OPEN_CREATE))
                return failed(SQLITE_CANTOPEN);
            picture->MakeEmpty();
        }
        if (picture->realLimit != 0) {
            // The database as the clean opens it, so the system answers as it would answer the clean;
            // its journal and log for reading only. Nothing is ever created there.
            constexpr int kNeverOnTheReal = SQLITE_OPEN_CREATE | SQLITE_OPEN_DELETEONCLOSE | SQLITE_OPEN_EXCLUSIVE;
            const int realFlags = f->mainDb
                                      ? flags & ~kNeverOnTheReal
                                      : (flags & ~(kNeverOnTheReal | SQLITE_OPEN_READWRITE)) | SQLITE_OPEN_READONLY;
            f->realStorage = std::make_unique<char[]>(static_cast<std::size_t>(state.real->szOsFile));
            f->real = reinterpret_cast<sqlite3_file*>(f->realStorage.get());
            int realOutFlags = 0;
            if (const int code = state.real->xOpen(state.real, name, f->real, realFlags, &realOutFlags);
                code != SQLITE_OK) {
                if (f->real->pMethods)
                    f->real->pMethods->xClose(f->real);
                return failed(code);
            }
            readOnly = f->mainDb && (realOutFlags & SQLITE_OPEN_READONLY);
            if (picture->realLimit < 0) {
                sqlite3_int64 size = 0;
                if (const int code = f->real->pMethods->xFileSize(f->real, &size); code != SQLITE_OK) {
                    f->real->pMethods->xClose(f->real);
                    return failed(code);
                }
                picture->realLimit = picture->size = size;
            }
        }
        f->picture = picture;
        f->name = name;
    }
    if (outFlags)
        *outFlags = readOnly ? (flags & ~SQLITE_OPEN_READWRITE) | SQLITE_OPEN_READONLY : flags;
    overlayFile->open = f.release();
    overlayFile->base.pMethods = &kMethods;
    return SQLITE_OK;
}

int Delete(sqlite3_vfs* vfs, const char* name, int) {
    std::shared_ptr<Picture>& picture = StateOf(vfs).pictures[name];
    if (!picture)
        picture = std::make_shared<Picture>();
    picture->MakeEmpty();
    picture->present = false;
    return SQLITE_OK;
}

int Access(sqlite3_vfs* vfs, const char* name, int flags, int* result) {
    OverlayVfs::State& state = StateOf(vfs);
    if (const auto picture = state.pictures.find(name); picture != state.pictures.end()) {
        *result = picture->second->present ? 1 : 0;
        return SQLITE_OK;
    }
    return state.real->xAccess(state.real, name, flags, result);
}

int FullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out) {
    sqlite3_vfs* real = StateOf(vfs).real;
    return real->xFullPathname(real, name, size, out);
}

int Randomness(sqlite3_vfs* vfs, int size, char* out) {
    sqlite3_vfs* real = StateOf(vfs).real;
    return real->xRandomness(real, size, out);
}

int Sleep(sqlite3_vfs* vfs, int microseconds) {
    sqlite3_vfs* real = StateOf(vfs).real;
    return real->xSleep(real, microseconds);
}

int CurrentTime(sqlite3_vfs* vfs, double* now) {
    sqlite3_vfs* real = StateOf(vfs).real;
    return real->xCurrentTime(real, now);
}

int GetLastError(sqlite3_vfs* vfs, int size, char* out) {
    sqlite3_vfs* real = StateOf(vfs).real;
    return real->xGetLastError ? real->xGetLastError(real, size, out) : 0;
}

int CurrentTimeInt64(sqlite3_vfs* vfs, sqlite3_int64* now) {
    sqlite3_vfs* real = StateOf(vfs).real;
    if (real->iVersion >= 2 && real->xCurrentTimeInt64)
        return real->xCurrentTimeInt64(real, now);
    double days = 0;
    const int code = real->xCurrentTime(real, &days);
    *now = static_cast<sqlite3_int64>(days * 86400000.0);
    return code;
}

}  // namespace

OverlayVfs::OverlayVfs() : state_(std::make_unique<State>()) {
    state_->real = sqlite3_vfs_find(nullptr);
    char name[48];
    std::snprintf(name, sizeof name, "nimbral-overlay-%p", static_cast<void*>(state_.get()));
    state_->name = name;
    sqlite3_vfs& vfs = state_->vfs;
    vfs.iVersion = 2;
    vfs.szOsFile = sizeof(OverlayFile);
    vfs.mxPathname = state_->real ? state_->real->mxPathname : 512;
    vfs.zName = state_->name.c_str();
    vfs.pAppData = state_.get();
    vfs.xOpen = Open;
    vfs.xDelete = Delete;
    vfs.xAccess = Access;
    vfs.xFullPathname = FullPathname;
    vfs.xRandomness = Randomness;
    vfs.xSleep = Sleep;
    vfs.xCurrentTime = CurrentTime;
    vfs.xGetLastError = GetLastError;
    vfs.xCurrentTimeInt64 = CurrentTimeInt64;
    if (state_->real)
        sqlite3_vfs_register(&vfs, 0);
}

OverlayVfs::~OverlayVfs() {
    if (state_->real)
        sqlite3_vfs_unregister(&state_->vfs);
}

const char* OverlayVfs::Name() const {
    return state_->name.c_str();
}

}  // namespace nimbral
