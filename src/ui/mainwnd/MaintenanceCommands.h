#pragma once

#include "store/DbResult.h"

// At start, when the book cannot be opened (damaged, cut short, not a
// book): says why and offers to restore it from a backup, with the restore
// command's own checks and questions. True once a book that opens is in
// place; false when the user would rather stop.
bool RestoreUnreadableBook(const orv::DbError &why);
