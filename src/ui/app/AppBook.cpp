#include "app/AppBook.h"

#include "app/Globals.h"

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
    if (const orv::BookLocation wanted = AppBookLocation(); !(book.location() == wanted))
        book.setLocation(wanted);
    return book;
}
