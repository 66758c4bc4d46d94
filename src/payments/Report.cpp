#include "Report.h"

#include <QGuiApplication>
#include <QScreen>

#include "CurrentAccount.h"
#include "DisplayFormat.h"
#include "IniFile.h"
#include "Messages.h"
#include "ProgramDir.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStyle>
#include <QTextDocument>
#include <QToolBar>

using namespace Qt::Literals::StringLiterals;

namespace {

TFrmReportForm::PreviewHook &previewHook()
{
    static TFrmReportForm::PreviewHook hook;
    return hook;
}

TFrmReportForm::FileChooser &pdfFileChooser()
{
    static TFrmReportForm::FileChooser chooser;
    return chooser;
}

// Text that prints exactly as stored: markup characters escaped, runs of
// blanks and line breaks kept.
QString escapeText(const QString &text)
{
    QString escaped = text.toHtmlEscaped();
    escaped.replace(u"\r\n"_s, u"\n"_s);
    escaped.replace(QLatin1Char('\n'), u"<br>"_s);
    QString out;
    out.reserve(escaped.size());
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped.at(i);
        if (c == QLatin1Char(' ') && (i == 0 || escaped.at(i - 1) == QLatin1Char(' ')))
            out += u"&nbsp;"_s;
        else
            out += c;
    }
    return out;
}

const QRegularExpression::PatternOptions caseless = QRegularExpression::CaseInsensitiveOption;

// Replaces the content of the first element whose id is id; the element must
// not contain another element of its own tag.
QString setElementText(const QString &html, const QString &id, const QString &text)
{
    const QRegularExpression open(uR"(<([A-Za-z][A-Za-z0-9]*)\b[^>]*(?<![\w-])id\s*=\s*["']%1["'][^>]*>)"_s
                                      .arg(QRegularExpression::escape(id)),
                                  caseless);
    const QRegularExpressionMatch m = open.match(html);
    if (!m.hasMatch())
        return html;
    const QRegularExpression close(u"</%1\\s*>"_s.arg(m.captured(1)), caseless);
    const QRegularExpressionMatch c = close.match(html, m.capturedEnd());
    if (!c.hasMatch())
        return html;
    return html.left(m.capturedEnd()) + escapeText(text) + html.mid(c.capturedStart());
}

QString fieldText(const DueRow &row, QStringView field, const QLocale &locale, bool *known)
{
    *known = true;
    if (field == u"Date")
        return locale.toString(row.Date, QLocale::ShortFormat);
    if (field == u"Description")
        return row.Description;
    if (field == u"Charge")
        return FormatFloat(u"#,###.##"_s, row.Charge);
    if (field == u"Payment")
        return FormatFloat(u"#,###.##"_s, row.Payment);
    if (field == u"Balance")
        return FormatFloat(u"#,###.##"_s, row.Balance);
    if (field == u"Status")
        return row.Status;
    if (field == u"PK")
        return row.PK;
    if (field == u"PaymentIncID")
        return row.PaymentIncID;
    *known = false;
    return QString();
}

// One pass over the placeholders, so a value that itself reads "{Status}"
// is never filled in again.
QString fillRow(const QString &rowHtml, const DueRow &row, const QLocale &locale)
{
    static const QRegularExpression placeholder(u"\\{(\\w+)\\}"_s);
    QString out;
    qsizetype from = 0;
    auto it = placeholder.globalMatch(rowHtml);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(rowHtml).mid(from, m.capturedStart() - from);
        bool known = false;
        const QString value = fieldText(row, m.capturedView(1), locale, &known);
        out += known ? escapeText(value) : m.captured(0);
        from = m.capturedEnd();
    }
    out += QStringView(rowHtml).mid(from);
    return out;
}

QString repeatRowTemplate(const QString &html, const QList<DueRow> &rows, const QLocale &locale)
{
    static const QRegularExpression open(uR"(<tr\b([^>]*?)\s+id\s*=\s*["']rowTemplate["']([^>]*)>)"_s, caseless);
    static const QRegularExpression close(u"</tr\\s*>"_s, caseless);
    const QRegularExpressionMatch m = open.match(html);
    if (!m.hasMatch())
        return html;
    const QRegularExpressionMatch c = close.match(html, m.capturedEnd());
    if (!c.hasMatch())
        return html;
    // The copies drop the id: it would repeat on every row.
    const QString rowHtml = u"<tr"_s + m.captured(1) + m.captured(2) + u">"_s
                            + html.mid(m.capturedEnd(), c.capturedStart() - m.capturedEnd()) + u"</tr>"_s;
    QString body;
    for (const DueRow &row : rows)
        body += fillRow(rowHtml, row, locale) + QLatin1Char('\n');
    return html.left(m.capturedStart()) + body + html.mid(c.capturedEnd());
}

QString readTemplate(const QString &fileName, bool *ok)
{
    QFile file(fileName);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? QString::fromUtf8(file.readAll()) : QString();
}

// Latin text in a plain sans face; Chinese falls back to a CJK face.
QFont reportFont()
{
    QFont font;
    font.setFamilies({u"DejaVu Sans"_s, u"WenQuanYi Micro Hei"_s, u"Noto Sans CJK SC"_s});
    font.setPointSizeF(9);
    return font;
}

QString choosePdfFile(QWidget *parent)
{
    QString name = pdfFileChooser()
                       ? pdfFileChooser()(parent)
                       : QFileDialog::getSaveFileName(parent, u"Save as PDF"_s, QString(), u"PDF file (*.pdf)"_s);
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += u".pdf"_s;
    return name;
}

} // namespace

QString RenderDueReport(const QString &templateHtml, const DueReportValues &values, const QList<DueRow> &rows,
                        const QLocale &locale)
{
    QString html = templateHtml;
    const std::pair<QString, const QString *> memos[] = {
        {u"memCaption"_s, &values.memCaption}, {u"memAccount"_s, &values.memAccount},
        {u"memDate"_s, &values.memDate},       {u"memCharge"_s, &values.memCharge},
        {u"memPayment"_s, &values.memPayment}, {u"memEndValue"_s, &values.memEndValue},
    };
    for (const auto &[id, text] : memos)
        html = setElementText(html, id, *text);
    return repeatRowTemplate(html, rows, locale);
}

void TFrmReportForm::SetPreviewHook(PreviewHook hook)
{
    previewHook() = std::move(hook);
}

void TFrmReportForm::SetPdfFileChooser(FileChooser chooser)
{
    pdfFileChooser() = std::move(chooser);
}

QString TFrmReportForm::ReportTitle()
{
    return IniFile(ProgramDir() + u"ini/app.ini"_s).ReadString(u"AppName"_s, u"ReportTitle"_s, u"Due List"_s);
}

QString TFrmReportForm::TemplateFileName()
{
    return ProgramDir() + u"rep/RepBankBatch.html"_s;
}

bool TFrmReportForm::SavePdf(const QTextDocument &document, const QPageLayout &layout, const QString &fileName)
{
    // A stale file of that name must not pass for a written one.
    if (QFileInfo::exists(fileName) && !QFile::remove(fileName))
        return false;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageLayout(layout);
    pdf.setOutputFileName(fileName);
    document.print(&pdf);
    return QFileInfo(fileName).size() > 0;
}

void TFrmReportForm::Print(QWidget *owner, const QList<DueRow> &rows, const QString &period, const QString &income,
                           const QString &expense, const QString &endingBalance)
{
    TFrmReportForm holder(owner);
    holder.cds = rows;
    holder.ShowReport(period, income, expense, endingBalance);
}

TFrmReportForm::TFrmReportForm(QWidget *owner)
    : m_owner(owner)
{
    setObjectName(u"FrmReportForm"_s);
}

TFrmReportForm::~TFrmReportForm() = default;

bool TFrmReportForm::ShowReport(const QString &period, const QString &income, const QString &expense,
                                const QString &endingBalance)
{
    const QString title = ReportTitle();
    bool loaded = false;
    const QString templateHtml = readTemplate(TemplateFileName(), &loaded);
    if (!loaded) {
        ShowPlainMessage(m_owner, u"load file failure"_s, u"error"_s, QMessageBox::Critical, QMessageBox::Ok);
        return false;
    }
    const DueReportValues values{title, CurrentAccountName, period, income, expense, endingBalance};
    const QString html = RenderDueReport(templateHtml, values, cds);

    QTextDocument document;
    document.setDefaultFont(reportFont());
    document.setHtml(html);
    document.setMetaInformation(QTextDocument::DocumentTitle, title);
    preview(document, html);
    return true;
}

void TFrmReportForm::preview(QTextDocument &document, const QString &html)
{
    if (previewHook()) {
        previewHook()(document, html);
        return;
    }
    // The report page: 756 x 1069 in the old engine's units, which is A4
    // portrait. The document keeps its own margins, so the page adds none.
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    printer.setDocName(document.metaInformation(QTextDocument::DocumentTitle));

    QPrintPreviewDialog dialog(&printer, m_owner);
    dialog.setWindowTitle(u"Preview"_s);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [&document](QPrinter *target) { document.print(target); });

    auto *savePdf = new QAction(dialog.style()->standardIcon(QStyle::SP_DialogSaveButton), u"Save as PDF"_s, &dialog);
    savePdf->setObjectName(u"actSavePdf"_s);
    savePdf->setShortcut(QKeySequence::Save);
    connect(savePdf, &QAction::triggered, &dialog, [&dialog, &document, &printer] {
        const QString fileName = choosePdfFile(&dialog);
        if (fileName.isEmpty())
            return;
        if (!SavePdf(document, printer.pageLayout(), fileName))
            ShowPlainMessage(&dialog, u"Cannot save the report to "_s + QDir::toNativeSeparators(fileName), u"error"_s,
                             QMessageBox::Critical, QMessageBox::Ok);
    });
    if (QToolBar *bar = dialog.findChild<QToolBar *>()) {
        bar->addSeparator();
        bar->addAction(savePdf);
    } else {
        dialog.addAction(savePdf);
    }
    // A sensible size of its own too, for desktops that do not maximise dialogs.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        dialog.resize(screen->availableGeometry().size() * 0.85);
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    dialog.exec();
}
