#include "app/AppBook.h"

#include "app/Globals.h"

#include <QCoreApplication>

namespace {

std::optional<orv::BookLocation> &chosenLocation()
{
    static std::optional<orv::BookLocation> location;
    return location;
}

} // namespace

orv::BookLocation AppBookLocation()
{
    if (chosenLocation())
        return *chosenLocation();
    return orv::BookLocation::file(AppBookPath());
}

void SetAppBookLocation(std::optional<orv::BookLocation> location)
{
    chosenLocation() = std::move(location);
}

orv::Book &AppBook()
{
    static orv::Book book(AppBookLocation());
    // Closed with the application, while Qt's registry of connections still
    // exists: closing it later, when the program's statics go, crashed the
    // program on its way out.
    static const bool closesWithApplication = [] {
        qAddPostRoutine([] { AppBook().close(); });
        return true;
    }();
    Q_UNUSED(closesWithApplication);
    if (const orv::BookLocation wanted = AppBookLocation(); !(book.location() == wanted))
        book.setLocation(wanted);
    return book;
}
