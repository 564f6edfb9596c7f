#include "output/InputTable.h"

#include "data/FileIo.h"
#include "data/SheetGeometry.h"
#include "output/TextPane.h"
#include "ui/Dialogs.h"

#include <QDir>

namespace vel {

QStringList inputTableLines(const QString& id, const QStringList& counts) {
    QStringList l;
    l << QStringLiteral("<html>")
      << QStringLiteral("Naměřená data pro přístroj: ") + id.toHtmlEscaped()
      << QStringLiteral("<table border=1>")
      << QStringLiteral("<tr><td></td><td>náběr 1</td><td>náběr 2</td><td>náběr 3</td><td>"
                        "náběr 4</td></tr>");
    for (int r = 1; r <= kRows; ++r) {
        l << QStringLiteral("<tr>") << QStringLiteral("<td><b>%1</b></td>").arg(rowLabel(r));
        for (int c = 1; c <= kReplicates; ++c)
            l << QStringLiteral("<td>") << counts.at(countIndex(r, c)).toHtmlEscaped()
              << QStringLiteral("</td>");
        l << QStringLiteral("</tr>");
    }
    l << QStringLiteral("</table>") << QStringLiteral("</html>");
    return l;
}

void exportInputTable(const QString& id, const QStringList& counts) {
    QByteArray bytes;
    for (const QString& line : inputTableLines(id, counts))
        appendFileLine(bytes, line);
    // The file is written without asking for a name: a link planted under that name is
    // replaced, never written through.
    const QString name = QStringLiteral("output.html");
    writeWholeFile(name, bytes, WriteErrors::Io, Links::Replace);
    ui::dialogs().openInViewer(QDir::current().absoluteFilePath(name));
}

} // namespace vel
