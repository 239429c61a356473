#pragma once
// Where the index file's pages come from and go to: the file descriptor (RawFile) and a
// page cache over it (PageStore) that also hands out and takes back pages through the
// free page list. Pages read from the file are checked for structure before anyone sees
// them; changed pages stay in memory until flush().

#include "store/index_page.h"

#include <QString>

#include <memory>
#include <unordered_map>

namespace numora::store::index_detail {

[[noreturn]] void throwDamaged(const QString &path, const QString &problem);
[[noreturn]] void throwTruncated(const QString &path, const QString &problem);

// A plain descriptor: several processes share the file, so no buffering in between.
class RawFile {
public:
    RawFile(const QString &path, int openFlags);
    ~RawFile();
    RawFile(const RawFile &) = delete;
    RawFile &operator=(const RawFile &) = delete;

    const QString &path() const { return path_; }
    qint64 size() const;
    // DatabaseError when the file ends first: it is truncated.
    void readExactly(qint64 offset, char *out, qint64 size) const;
    void writeAll(qint64 offset, const char *data, qint64 size) const;
    void syncData() const;

private:
    QString path_;
    int fd_ = -1;
};

// The header fields that say which pages exist and which are free.
struct PageSpace {
    quint32 pageCount = kFirstTreePage;
    quint32 freeHead = 0;
    quint32 freeCount = 0;
};

class PageStore {
public:
    // `space` belongs to the caller's header, which is written after flush().
    PageStore(const RawFile &file, PageSpace &space) : file_(file), space_(space) {}

    struct NewPage {
        quint32 number;
        Page &page;
    };

    const Page &read(quint32 number) { return load(number).page; }
    // The page, marked to be written by the next flush().
    Page &write(quint32 number);
    // A page for the caller to format: the head of the free list, else a new last page.
    NewPage allocate();
    void release(quint32 number);
    void forget() { cache_.clear(); }
    // Writes changed pages in page order, a run of neighbouring pages with one call.
    void flush();

    [[noreturn]] void damaged(const QString &problem) const;

private:
    struct Cached {
        Page page;
        bool dirty = false;
    };

    Cached &load(quint32 number);
    void checkStructure(quint32 number, Page &page) const;

    const RawFile &file_;
    PageSpace &space_;
    // Pages by number; unique_ptr keeps a Page in place while the map grows.
    std::unordered_map<quint32, std::unique_ptr<Cached>> cache_;
};

} // namespace numora::store::index_detail
