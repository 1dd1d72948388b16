#pragma once
// A SQLite file layer for tests that fails chosen writes or syncs: a shim over the default VFS,
// made the default VFS of the test process at the first call of any function below, so every
// connection opened after that call goes through it (main files, journals, WAL files).

namespace sepmet::testing {

enum class FaultOp { Write, Sync };

// Counting from this call, the nth (1-based) operation of kind `op` and every later one of that
// kind answer `sqliteError` (e.g. SQLITE_IOERR_WRITE, SQLITE_FULL) without touching the file, as
// a disk that fills up or fails stays so; until DisarmFault or the next ArmFault.
void ArmFault(FaultOp op, int nth, int sqliteError);
void DisarmFault();
// Operations of kind `op` seen (failed or not) since the last ArmFault or DisarmFault.
int FaultCount(FaultOp op);

} // namespace sepmet::testing
