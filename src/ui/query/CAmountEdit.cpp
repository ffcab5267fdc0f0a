#include "query/CAmountEdit.h"

#include <QKeyEvent>
#include <QValidator>

#include <algorithm>

namespace {

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Guards every way text gets in besides typing (paste from the context
// menu, drops, input methods): only digits, or the box's own word.
class CAmountValidator final : public QValidator
{
public:
    CAmountValidator(const QString &keepWord, QObject *parent)
        : QValidator(parent)
        , m_strKeepWord(keepWord)
    {
    }

    State validate(QString &input, int &) const override
    {
        if (!m_strKeepWord.isEmpty() && input == m_strKeepWord)
            return Acceptable;
        return std::all_of(input.cbegin(), input.cend(), IsDigit) ? Acceptable : Invalid;
    }

private:
    QString m_strKeepWord;
};

} // namespace

CAmountEdit::CAmountEdit(const QString &keepWord, QWidget *parent)
    : QLineEdit(parent)
{
    setValidator(new CAmountValidator(keepWord, this));
}

bool CAmountEdit::IsRefusedKey(const QKeyEvent *event)
{
    switch (event->key()) {
    // Keys that move the focus or answer the dialog, and deleting keys.
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return false;
    default:
        break;
    }
    if (event->matches(QKeySequence::Paste))
        return true;
    const QString text = event->text();
    if (text.isEmpty())
        return false; // caret movement, selection, function keys
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return command || text.size() != 1 || !IsDigit(text.front());
}

void CAmountEdit::keyPressEvent(QKeyEvent *event)
{
    if (IsRefusedKey(event)) {
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (text() == QStringLiteral("0") && typed.size() == 1 && IsDigit(typed.front())) {
        setText(typed);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CAmountEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    Q_EMIT FocusEntered(event->reason());
}

void CAmountEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    Q_EMIT FocusLeft(event->reason());
}
