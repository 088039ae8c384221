#include "core/analysis/study.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace korvalo {

using namespace Qt::StringLiterals;

bool StudyNameLess(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const QChar ca = a[i], cb = b[j];
        if (ca.isDigit() && cb.isDigit()) {
            // Compare the two runs of digits as numbers: skip leading zeros, then the
            // longer run is larger, then the first differing digit decides.
            qsizetype ea = i, eb = j;
            while (ea < a.size() && a[ea].isDigit())
                ++ea;
            while (eb < b.size() && b[eb].isDigit())
                ++eb;
            qsizetype za = i, zb = j;
            while (za + 1 < ea && a[za] == u'0')
                ++za;
            while (zb + 1 < eb && b[zb] == u'0')
                ++zb;
            if (ea - za != eb - zb)
                return ea - za < eb - zb;
            for (qsizetype k = 0; k < ea - za; ++k)
                if (a[za + k] != b[zb + k])
                    return a[za + k] < b[zb + k];
            i = ea;
            j = eb;
            continue;
        }
        const QChar fa = ca.toCaseFolded(), fb = cb.toCaseFolded();
        if (fa != fb)
            return fa < fb;
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    // Equal but for case or leading zeros: a fixed order all the same.
    return a < b;
}

QStringList EgoFilesInFolder(const QString &folder)
{
    const QDir dir(folder);
    QStringList names = dir.entryList({u"*.ego"_s}, QDir::Files | QDir::Hidden | QDir::Readable,
                                      QDir::NoSort);
    // Name filters ignore case on some systems only.
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const QString &n) {
                                   return !n.endsWith(u".ego"_s, Qt::CaseInsensitive);
                               }),
                names.end());
    std::sort(names.begin(), names.end(), StudyNameLess);
    QStringList paths;
    paths.reserve(names.size());
    for (const QString &name : names)
        paths << dir.filePath(name);
    return paths;
}

QStringList StudyFiles(const QStringList &paths, std::vector<StudyFailure> *failures)
{
    QStringList files;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isDir())
            files << EgoFilesInFolder(path);
        else if (info.exists())
            files << path;
        else if (failures)
            failures->push_back({path, u"No such file or folder."_s});
    }
    return files;
}

namespace detail {

int StudyJobs(int requested)
{
    if (requested > 0)
        return requested;
    const unsigned cores = std::thread::hardware_concurrency();
    return int(std::clamp(cores, 1u, 64u));
}

StudyWalkResult RunStudyWalk(const QStringList &files, const StudyWalkOptions &options,
                             const std::function<void(int slot, int index)> &work,
                             const std::function<QString(int slot, int index)> &deliver,
                             int windowSize)
{
    StudyWalkResult result;
    const int count = int(files.size());
    const int jobs = std::min(StudyJobs(options.jobs), std::max(count, 1));
    auto deliverOne = [&](int slot, int index) {
        QString failure = deliver(slot, index);
        if (failure.isEmpty())
            ++result.delivered;
        else
            result.failures.push_back({files[index], std::move(failure)});
    };
    auto cancelled = [&] { return options.cancelled && options.cancelled(); };

    if (jobs <= 1) {
        for (int i = 0; i < count; ++i) {
            if (cancelled()) {
                result.cancelled = true;
                break;
            }
            if (options.progress)
                options.progress(i, count, files[i]);
            work(0, i);
            deliverOne(0, i);
        }
        return result;
    }

    // Workers claim files in order, at most windowSize ahead of the last one delivered, so
    // a study of any size is held a window at a time.
    std::mutex mutex;
    std::condition_variable changed;
    int nextWork = 0;
    int deliveredUpTo = 0; // files before this index have been delivered
    bool stop = false;
    std::vector<char> done(size_t(windowSize), 0);

    auto worker = [&] {
        for (;;) {
            int index;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] {
                    return stop || nextWork >= count || nextWork < deliveredUpTo + windowSize;
                });
                if (stop || nextWork >= count)
                    return;
                index = nextWork++;
            }
            work(index % windowSize, index);
            {
                std::lock_guard lock(mutex);
                done[size_t(index % windowSize)] = 1;
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(size_t(jobs));
    for (int t = 0; t < jobs; ++t)
        threads.emplace_back(worker);

    for (int i = 0; i < count; ++i) {
        if (cancelled()) {
            result.cancelled = true;
            break;
        }
        if (options.progress)
            options.progress(i, count, files[i]);
        const int slot = i % windowSize;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return done[size_t(slot)] != 0; });
        }
        deliverOne(slot, i);
        {
            std::lock_guard lock(mutex);
            done[size_t(slot)] = 0;
            deliveredUpTo = i + 1;
        }
        changed.notify_all();
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    changed.notify_all();
    for (std::thread &t : threads)
        t.join();
    return result;
}

} // namespace detail

} // namespace korvalo
