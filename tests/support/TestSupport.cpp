#include "support/TestSupport.h"

#include "support/PgServer.h"

#include "data/Errors.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSqlDatabase>

#include <chrono>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

QString systemText(int errnoValue) {
    return QString::fromLocal8Bit(std::strerror(errnoValue));
}

std::optional<QString> ScriptedDialogs::openFile(QWidget*, const QString& name) {
    dialogNames << name;
    if (files.empty())
        throw std::logic_error("unexpected open dialog " + name.toStdString());
    auto f = files.front();
    files.pop_front();
    return f;
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget* w, const QString& name) {
    return openFile(w, name);
}

bool ScriptedDialogs::ask(QWidget*, const QString& text) {
    questions << text;
    if (answers.empty())
        return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<QString> ScriptedDialogs::askText(QWidget*, const QString& label, const QString&) {
    questions << label;
    if (texts.isEmpty())
        return std::nullopt;
    return texts.takeFirst();
}

void ScriptedDialogs::print(const QString& docName, QSize size, const ui::PagePainter& paint) {
    if (!printError.isEmpty())
        throw vel::AppError(printError);
    printedDocs << docName;
    if (printToPdf.isEmpty())
        return;
    QPdfWriter pdf(printToPdf);
    pdf.setTitle(docName);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    QPainter p(&pdf);
    double scale =
        std::min(double(pdf.width()) / size.width(), double(pdf.height()) / size.height());
    p.scale(scale, scale);
    paint(p);
}

QString inChildProcess(const std::function<QString()>& f, int seconds) {
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("no pipe for the child process");
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("cannot start a child process");
    if (pid == 0) {
        ::close(fds[0]);
        int status = 1;
        try {
            const QByteArray out = f().toUtf8();
            status = ::write(fds[1], out.constData(), size_t(out.size())) == out.size() ? 0 : 1;
        } catch (...) {
        }
        ::_exit(status);
    }
    ::close(fds[1]);
    QByteArray out;
    bool done = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, int(left.count())) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n > 0)
            out.append(buf, n);
        else if (n == 0)
            done = true;
    }
    ::close(fds[0]);
    if (!done)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!done)
        return QStringLiteral("<timed out>");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("<child failed>");
    return QString::fromUtf8(out);
}

QString sqliteRows(const QString& path, const QStringList& statements) {
    return databaseRows(
        QStringLiteral("QSQLITE"), [&path](QSqlDatabase& db) { db.setDatabaseName(path); },
        statements);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

} // namespace testing_support
