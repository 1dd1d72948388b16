#include "tests/support/fault_vfs.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <sqlite3.h>

namespace sepmet::testing {
namespace {

struct Fault {
    std::atomic<int> armedOp{-1}; // FaultOp as int, -1 when disarmed
    std::atomic<int> nth{0};
    std::atomic<int> error{SQLITE_OK};
    std::atomic<int> writes{0};
    std::atomic<int> syncs{0};
};

Fault& State() {
    static Fault fault;
    return fault;
}

// The file of the shim: the real file of the default VFS follows it in the same allocation.
struct ShimFile {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_vfs* realVfs = nullptr;

sqlite3_file* Real(sqlite3_file* file) {
    return reinterpret_cast<ShimFile*>(file)->real;
}

// Counts one operation; the error to answer, or SQLITE_OK to pass it on.
int Count(FaultOp op) {
    Fault& fault = State();
    const int seen = (op == FaultOp::Write ? fault.writes : fault.syncs).fetch_add(1) + 1;
    if (fault.armedOp.load() == static_cast<int>(op) && seen >= fault.nth.load())
        return fault.error.load();
    return SQLITE_OK;
}

int Close(sqlite3_file* file) {
    sqlite3_file* real = Real(file);
    return real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
}
int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    return Real(file)->pMethods->xRead(Real(file), buffer, amount, offset);
}
int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    if (const int error = Count(FaultOp::Write); error != SQLITE_OK)
        return error;
    return Real(file)->pMethods->xWrite(Real(file), buffer, amount, offset);
}
int Truncate(sqlite3_file* file, sqlite3_int64 size) {
    return Real(file)->pMethods->xTruncate(Real(file), size);
}
int Sync(sqlite3_file* file, int flags) {
    if (const int error = Count(FaultOp::Sync); error != SQLITE_OK)
        return error;
    return Real(file)->pMethods->xSync(Real(file), flags);
}
int FileSize(sqlite3_file* file, sqlite3_int64* size) {
    return Real(file)->pMethods->xFileSize(Real(file), size);
}
int Lock(sqlite3_file* file, int level) {
    return Real(file)->pMethods->xLock(Real(file), level);
}
int Unlock(sqlite3_file* file, int level) {
    return Real(file)->pMethods->xUnlock(Real(file), level);
}
int CheckReservedLock(sqlite3_file* file, int* out) {
    return Real(file)->pMethods->xCheckReservedLock(Real(file), out);
}
int FileControl(sqlite3_file* file, int op, void* arg) {
    return Real(file)->pMethods->xFileControl(Real(file), op, arg);
}
int SectorSize(sqlite3_file* file) {
    return Real(file)->pMethods->xSectorSize(Real(file));
}
int DeviceCharacteristics(sqlite3_file* file) {
    return Real(file)->pMethods->xDeviceCharacteristics(Real(file));
}
int ShmMap(sqlite3_file* file, int page, int size, int extend, void volatile** out) {
    return Real(file)->pMethods->xShmMap(Real(file), page, size, extend, out);
}
int ShmLock(sqlite3_file* file, int offset, int n, int flags) {
    return Real(file)->pMethods->xShmLock(Real(file), offset, n, flags);
}
void ShmBarrier(sqlite3_file* file) {
    Real(file)->pMethods->xShmBarrier(Real(file));
}
int ShmUnmap(sqlite3_file* file, int deleteFlag) {
    return Real(file)->pMethods->xShmUnmap(Real(file), deleteFlag);
}
int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** out) {
    return Real(file)->pMethods->xFetch(Real(file), offset, amount, out);
}
int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* page) {
    return Real(file)->pMethods->xUnfetch(Real(file), offset, page);
}

// One method table per version of the real file's, so SQLite sees the same abilities (WAL needs
// version 2, memory mapping version 3).
sqlite3_io_methods MethodsOfVersion(int version) {
    sqlite3_io_methods methods{};
    methods.iVersion = version;
    methods.xClose = Close;
    methods.xRead = Read;
    methods.xWrite = Write;
    methods.xTruncate = Truncate;
    methods.xSync = Sync;
    methods.xFileSize = FileSize;
    methods.xLock = Lock;
    methods.xUnlock = Unlock;
    methods.xCheckReservedLock = CheckReservedLock;
    methods.xFileControl = FileControl;
    methods.xSectorSize = SectorSize;
    methods.xDeviceCharacteristics = DeviceCharacteristics;
    if (version >= 2) {
        methods.xShmMap = ShmMap;
        methods.xShmLock = ShmLock;
        methods.xShmBarrier = ShmBarrier;
        methods.xShmUnmap = ShmUnmap;
    }
    if (version >= 3) {
        methods.xFetch = Fetch;
        methods.xUnfetch = Unfetch;
    }
    return methods;
}

const sqlite3_io_methods* Methods(int version) {
    static const sqlite3_io_methods tables[] = {MethodsOfVersion(1), MethodsOfVersion(2),
                                                MethodsOfVersion(3)};
    return &tables[(version < 1 ? 1 : version > 3 ? 3 : version) - 1];
}

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    auto* shim = reinterpret_cast<ShimFile*>(file);
    shim->base.pMethods = nullptr;
    shim->real = reinterpret_cast<sqlite3_file*>(shim + 1);
    std::memset(shim->real, 0, static_cast<size_t>(realVfs->szOsFile));
    const int rc = realVfs->xOpen(realVfs, name, shim->real, flags, outFlags);
    if (shim->real->pMethods)
        shim->base.pMethods = Methods(shim->real->pMethods->iVersion);
    return rc;
}

// Everything but opening files goes straight to the default VFS.
int Delete(sqlite3_vfs*, const char* name, int syncDir) {
    return realVfs->xDelete(realVfs, name, syncDir);
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
    return realVfs->xAccess(realVfs, name, flags, out);
}
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return realVfs->xFullPathname(realVfs, name, size, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) {
    return realVfs->xDlOpen(realVfs, name);
}
void DlError(sqlite3_vfs*, int size, char* out) {
    realVfs->xDlError(realVfs, size, out);
}
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
    return realVfs->xDlSym(realVfs, handle, symbol);
}
void DlClose(sqlite3_vfs*, void* handle) {
    realVfs->xDlClose(realVfs, handle);
}
int Randomness(sqlite3_vfs*, int size, char* out) {
    return realVfs->xRandomness(realVfs, size, out);
}
int Sleep(sqlite3_vfs*, int microseconds) {
    return realVfs->xSleep(realVfs, microseconds);
}
int CurrentTime(sqlite3_vfs*, double* out) {
    return realVfs->xCurrentTime(realVfs, out);
}
int GetLastError(sqlite3_vfs*, int size, char* out) {
    return realVfs->xGetLastError ? realVfs->xGetLastError(realVfs, size, out) : 0;
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) {
    return realVfs->xCurrentTimeInt64(realVfs, out);
}

// Registers the shim as the default VFS once.
void Install() {
    static std::once_flag once;
    std::call_once(once, [] {
        sqlite3_initialize();
        realVfs = sqlite3_vfs_find(nullptr);
        static sqlite3_vfs shim{};
        shim.iVersion = 2;
        shim.szOsFile = static_cast<int>(sizeof(ShimFile)) + realVfs->szOsFile;
        shim.mxPathname = realVfs->mxPathname;
        shim.zName = "sepmet-fault";
        shim.xOpen = Open;
        shim.xDelete = Delete;
        shim.xAccess = Access;
        shim.xFullPathname = FullPathname;
        shim.xDlOpen = DlOpen;
        shim.xDlError = DlError;
        shim.xDlSym = DlSym;
        shim.xDlClose = DlClose;
        shim.xRandomness = Randomness;
        shim.xSleep = Sleep;
        shim.xCurrentTime = CurrentTime;
        shim.xGetLastError = GetLastError;
        shim.xCurrentTimeInt64 = CurrentTimeInt64;
        sqlite3_vfs_register(&shim, 1);
    });
}

void Reset(int armedOp, int nth, int error) {
    Install();
    Fault& fault = State();
    fault.armedOp = -1;
    fault.writes = 0;
    fault.syncs = 0;
    fault.nth = nth;
    fault.error = error;
    fault.armedOp = armedOp;
}

} // namespace

void ArmFault(FaultOp op, int nth, int sqliteError) {
    Reset(static_cast<int>(op), nth, sqliteError);
}

void DisarmFault() {
    Reset(-1, 0, SQLITE_OK);
}

int FaultCount(FaultOp op) {
    Install();
    return (op == FaultOp::Write ? State().writes : State().syncs).load();
}

} // namespace sepmet::testing
