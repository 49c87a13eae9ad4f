// The hooks that open the list of books, Book Setup and the index record
// window from the process window.
#pragma once

#include "book_form.h"
#include "context.h"
#include "index_form.h"
#include "sect_list.h"

namespace gui {

// Edit Books and Index Data of the process window. The row menu's state is
// made here once, so it lasts as long as the hooks: the whole run.
void InstallEntryHooks(Hooks& hooks);

}  // namespace gui
