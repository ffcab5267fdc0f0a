#include "store/TextInterner.h"

#include "model/TextForms.h"

namespace orv {

qint32 julianDayOfUtf8(const char *text, int bytes)
{
    if (!text || bytes < 10)
        return 0;
    char16_t wide[10];
    for (int i = 0; i < 10; ++i)
        wide[i] = char16_t(static_cast<unsigned char>(text[i]));
    return qint32(julianDayFromStorage(QStringView(wide, 10)));
}

} // namespace orv
