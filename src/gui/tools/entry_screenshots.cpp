#include "entry_screenshots.h"

#include <QListWidget>

#include "book_form.h"
#include "book_grid_view.h"
#include "dataform.h"
#include "index_form.h"
#include "screenshots.h"
#include "sect_list.h"

namespace gui {

namespace {

bool Save(QWidget* window, const QString& folder, const QString& name) {
  return SaveWindowPicture(window, folder, name);
}

}  // namespace

bool SaveEntryScreenshots(const EntryServices& services, const platform::Clock& clock, QWidget* parent,
                          const QString& folder) {
  tonnage::Session& session = services.session;
  tonnage::RowMenuState rowMenu;
  bool ok = true;
  // A book to show when the sample brought none.
  if (!session.Book(1).InUse()) session.Book(1) = {"SURFACE COURSE SP 12.5", "0", "2.6500"};
  {
    SectList list(services, rowMenu, parent);
    list.show();
    list.list()->setCurrentRow(1);
    ok &= Save(&list, folder, QStringLiteral("book-list"));
  }
  session.currentBook = 1;
  {
    BookForm setup(services, rowMenu, parent);
    setup.show();
    ok &= Save(&setup, folder, QStringLiteral("book-setup"));
  }
  {
    Dataform grid(services, rowMenu, parent);
    grid.show();
    grid.view()->MoveTo(2, 3);
    ok &= Save(&grid, folder, QStringLiteral("book-grid"));
    grid.view()->scrollToBottom();
    ok &= Save(&grid, folder, QStringLiteral("book-grid-bottom"));
    grid.reject();
  }
  {
    Indexform index(session, services.messages, clock, services.help, parent);
    index.show();
    ok &= Save(&index, folder, QStringLiteral("index-record"));
    index.reject();
  }
  return ok;
}

}  // namespace gui
