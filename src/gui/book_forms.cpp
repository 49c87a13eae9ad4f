#include "book_forms.h"

#include <memory>

#include "dataform.h"

namespace gui {

void InstallEntryHooks(Hooks& hooks) {
  auto rowMenu = std::make_shared<tonnage::RowMenuState>();
  hooks.editBooks = [rowMenu](QWidget* parent, Context& context) {
    SectList list(context, *rowMenu, parent);
    list.exec();
  };
  hooks.editTicket = [rowMenu](QWidget* parent, Context& context, int book, int row, int column) {
    context.session.currentBook = book;
    Dataform grid(context, *rowMenu, parent);
    grid.GoToCell(row, column);
    grid.exec();
  };
  hooks.indexData = [](QWidget* parent, Context& context) {
    Indexform index(context, parent);
    index.exec();
  };
}

}  // namespace gui
