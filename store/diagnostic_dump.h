// The diagnostic dump the screens write after a full read from the
// controller: the whole equipment store as plain text, created afresh, so a
// technician can see which registers came back. A missing folder skips it.
#pragma once
#include <string>

#include "store/ckx4data.h"
#include "store/ckx4file.h"

namespace kova {

// "novoVELA.txt" for model 1 (VELA), "novoBRIO.txt" otherwise, in `folder`
// (by default c:\temp on Windows, $KOVA_DUMP_DIR or /tmp elsewhere).
std::string DiagnosticDumpPath(int model);
std::string DiagnosticDumpPath(int model, const std::string& folder);

// True when the dump was written; failures are not reported to the user.
bool DiagnosticDump(CKX4FILE& file, CKX4DATA& store, int model);
bool DiagnosticDump(CKX4FILE& file, CKX4DATA& store, int model, const std::string& folder);

}  // namespace kova
