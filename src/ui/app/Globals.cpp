#include "app/Globals.h"

#include "store/BookFile.h"

int g_nModule = 0;
QString g_strCurUser;
QString g_strUserCode;
QString g_strAppDir = QStringLiteral("null");
int g_nPayoutHeaderRow = 0;

QString AppBookPath()
{
    return orv::BookFile::bookPath(g_strAppDir);
}
