#pragma once

#include <csignal>
#include <sys/resource.h>

// A full disk while it lives: no regular file of this process may grow, so
// every write into one fails with EFBIG (root included, unlike a read-only
// folder). SIGXFSZ is ignored meanwhile, so the write fails instead of the
// process ending. Only the soft limit moves, so it can always be put back.
class FileSizeLimit
{
public:
    FileSizeLimit()
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = m_previous;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = SIG_DFL;
};
