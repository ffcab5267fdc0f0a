#pragma once

#include "book/Book.h"
#include "store/BookLocation.h"

#include <optional>

// The book of the run: the file in the program folder, unless the program
// was told to work on another book (the --book option, or the program
// folder's orvendal.ini naming a server book).
orv::BookLocation AppBookLocation();
// Makes the run work on another book than the program folder's file;
// nullopt goes back to the file.
void SetAppBookLocation(std::optional<orv::BookLocation> location);

// The one Book of the run, for that location. It stays the same object for
// the whole run (what follows its signals stays connected) and follows the
// program folder when that changes.
orv::Book &AppBook();
