#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace tonnage {
class Session;
}

namespace tonnage::cli {

// `check FILE`: what Open reads from a data file. Exit 0, or 1 when refused.
void AddCheckCommand(CLI::App& app, int& exitCode);
// `resave FILE -o OUT`: what Open then Save As would write.
void AddResaveCommand(CLI::App& app, int& exitCode);
// `import FILE TICKETS.csv`: e-tickets into the books. Exit 0 when some were
// imported, 1 when the file is refused or none could be, 2 on usage.
void AddImportCommand(CLI::App& app, int& exitCode);
// `reconcile FILE TICKETS.csv --book N [--csv]`: e-tickets against a book.
void AddReconcileCommand(CLI::App& app, int& exitCode);

// Starts `session` and opens `path` in it; prints the refusal on stderr.
bool OpenQuietly(Session& session, const std::string& path);

}  // namespace tonnage::cli
