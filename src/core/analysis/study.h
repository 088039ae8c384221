#pragma once

#include "core/egofile/egofile.h"
#include "core/model/networkmodel.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace korvalo {

// A study is a folder of ego files, one per interviewed person. Every job that works over
// a study (directory runs, measures, table exports, comparisons) walks it the same way:
// the files in a reproducible order, each read into a model of its own (never the open
// document), in parallel where there are cores, results handed on in file order, a file
// that cannot be read recorded and the walk going on.

// Whether a sorts before b: file names compared without regard to case, with runs of
// digits compared as numbers ("9.ego" before "10.ego", "A.EGO" before "b.ego").
bool StudyNameLess(const QString &a, const QString &b);

// The *.ego files directly inside folder (any case of the extension), sorted with
// StudyNameLess. Empty when the folder holds none or cannot be listed.
QStringList EgoFilesInFolder(const QString &folder);

// One path that could not be used, and why, in the program's words.
struct StudyFailure
{
    QString path;
    QString message;
};

// The files that paths stand for, in the order given: a file stands for itself, a folder
// for EgoFilesInFolder(folder). A path that is neither is recorded in failures.
QStringList StudyFiles(const QStringList &paths, std::vector<StudyFailure> *failures = nullptr);

struct StudyWalkOptions
{
    // Threads reading and working at once; 0 takes one per core.
    int jobs = 0;
    // How the files are read; the sinks are called on the thread that delivers.
    QChar decimalSeparator = u'.';
    // Asked between files (on the delivering thread); true stops the walk: files not yet
    // delivered are not delivered.
    std::function<bool()> cancelled;
    // Before the results of file i (0-based) of n are delivered.
    std::function<void(int index, int count, const QString &path)> progress;
};

// How a walk ended: the files that could not be read (path and the reader's message), in
// file order, and whether it was cancelled.
struct StudyWalkResult
{
    std::vector<StudyFailure> failures;
    int delivered = 0;
    bool cancelled = false;
};

namespace detail {
// Runs work(i) for i in [0, count) on up to `jobs` threads, a bounded window of files
// ahead of delivery, and deliver(i) on the calling thread in order. work(i) must only
// touch its slot of the caller's storage; deliver(i) releases it and returns the reason
// the file failed (empty when it did not).
StudyWalkResult RunStudyWalk(const QStringList &files, const StudyWalkOptions &options,
                             const std::function<void(int slot, int index)> &work,
                             const std::function<QString(int slot, int index)> &deliver,
                             int windowSize);
int StudyJobs(int requested);
} // namespace detail

// Reads every file of `files` into its own model and calls work(path, model) for it on a
// worker thread (so work must not touch shared state), then deliver(path, result) on the
// calling thread in file order. A file the reader refuses is recorded in the result and
// skipped. Memory holds at most a small window of files at once, whatever their number.
template <typename T>
StudyWalkResult WalkStudy(const QStringList &files, const StudyWalkOptions &options,
                          const std::function<T(const QString &path, const NetworkModel &model)> &work,
                          const std::function<void(const QString &path, T &result)> &deliver)
{
    const int jobs = detail::StudyJobs(options.jobs);
    const int window = jobs * 4;
    // One slot per file in flight: the value, or the reader's message.
    struct Slot
    {
        std::optional<T> value;
        QString failure;
    };
    std::vector<Slot> pending(static_cast<size_t>(window));
    ReadOptions read;
    read.DecimalSeparator = options.decimalSeparator;
    return detail::RunStudyWalk(
        files, options,
        [&](int slot, int index) {
            Slot &s = pending[size_t(slot)];
            s.value.reset();
            s.failure.clear();
            Result<NetworkModel> model = ReadEgoFile(files[index], read);
            if (!model)
                s.failure = model.message();
            else
                s.value.emplace(work(files[index], model.value()));
        },
        [&](int slot, int index) {
            Slot &s = pending[size_t(slot)];
            if (!s.value)
                return std::move(s.failure);
            deliver(files[index], *s.value);
            s.value.reset();
            return QString();
        },
        window);
}

} // namespace korvalo
