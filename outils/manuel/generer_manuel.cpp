// Turns the Markdown source of the user manual into the A4 PDF the program opens: a title
// page, a table of contents with page numbers, then the chapters on numbered pages. A
// second PDF holds the pages of the chapter "Versions" alone, as numbered in the manual:
// the one "mise à jour" opens, since a viewer started by the desktop opens at page one.
// The pictures it names are read from the directory given last, where the build put them.
//   generer_manuel doc/manuel.md build/app/Pelmo_manuel.pdf build/app/Pelmo_manuel_versions.pdf
//                  build/doc/captures
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

constexpr int resolution = 300;
const QColor bleu_titres(20, 50, 120);
const QColor gris(110, 110, 110);
const QString titre_manuel = QStringLiteral("Tarvo – manuel d'utilisation");

struct Titre {
    QString texte;
    int niveau = 1;
    int page = 0;  // page of the body, from 0
};

// Chapters start on a new page and every heading takes the manual's colour; the first
// chapter follows the table of contents, which already ends a page.
// Code examples get a grey background and a smaller font, so that a line of a result
// file fits the width of the page.
void mettre_en_forme_code(const QTextBlock& bloc) {
    QTextCursor curseur(bloc);
    QTextBlockFormat format = bloc.blockFormat();
    format.setBackground(QColor(242, 242, 242));
    curseur.setBlockFormat(format);
    curseur.select(QTextCursor::BlockUnderCursor);
    QTextCharFormat caracteres;
    caracteres.setFontPointSize(8.5);
    curseur.mergeCharFormat(caracteres);
}

// Tables take the full width, with light rules and some air inside and around them.
void mettre_en_forme_tables(QTextDocument& document) {
    for (QTextFrame* cadre : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(cadre);
        if (!table) continue;
        QTextTableFormat format = table->format();
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        format.setBorder(1);
        format.setBorderBrush(QColor(190, 190, 190));
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderCollapse(true);
        format.setCellPadding(3);
        format.setCellSpacing(0);
        format.setHeaderRowCount(1);
        format.setTopMargin(4);
        format.setBottomMargin(8);
        table->setFormat(format);
        for (int colonne = 0; colonne < table->columns(); ++colonne) {
            QTextTableCell entete = table->cellAt(0, colonne);
            QTextCharFormat fond = entete.format();
            fond.setBackground(QColor(225, 232, 245));
            entete.setFormat(fond);
        }
    }
}

void mettre_en_forme(QTextDocument& document) {
    mettre_en_forme_tables(document);
    bool premier = true;
    for (QTextBlock bloc = document.begin(); bloc.isValid(); bloc = bloc.next()) {
        if (bloc.blockFormat().hasProperty(QTextFormat::BlockCodeFence)) {
            mettre_en_forme_code(bloc);
            continue;
        }
        const int niveau = bloc.blockFormat().headingLevel();
        if (niveau == 0) continue;
        QTextCursor curseur(bloc);
        QTextBlockFormat format = bloc.blockFormat();
        format.setTopMargin(niveau == 1 ? 0 : 14);
        format.setBottomMargin(6);
        if (niveau == 1 && !premier) format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        if (niveau == 1) premier = false;
        curseur.setBlockFormat(format);
        curseur.select(QTextCursor::BlockUnderCursor);
        QTextCharFormat caracteres;
        caracteres.setForeground(bleu_titres);
        curseur.mergeCharFormat(caracteres);
    }
}

// Pictures take the width of the page. A picture that cannot be read stops the manual: a
// manual with empty frames where the text says "voici la fenêtre" is worse than none.
bool mettre_en_forme_images(QTextDocument& document, double largeur) {
    std::vector<std::pair<QTextFragment, QImage>> images;
    for (QTextBlock bloc = document.begin(); bloc.isValid(); bloc = bloc.next()) {
        for (auto it = bloc.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) continue;
            const QString nom = fragment.charFormat().toImageFormat().name();
            const QVariant donnees = document.resource(QTextDocument::ImageResource, QUrl(nom));
            QImage image = donnees.value<QImage>();
            if (image.isNull()) image = QImage::fromData(donnees.toByteArray());
            if (image.isNull()) {
                std::fprintf(stderr, "image illisible ou absente : %s\n",
                             qPrintable(document.baseUrl().resolved(QUrl(nom)).toLocalFile()));
                return false;
            }
            images.emplace_back(fragment, image);
        }
    }
    for (const auto& [fragment, image] : images) {
        QTextImageFormat format = fragment.charFormat().toImageFormat();
        format.setWidth(largeur);
        format.setHeight(largeur * image.height() / image.width());
        QTextCursor curseur(&document);
        curseur.setPosition(fragment.position());
        curseur.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
        curseur.setCharFormat(format);
    }
    return true;
}

std::vector<Titre> titres(const QTextDocument& document, double hauteur_page) {
    std::vector<Titre> liste;
    auto* mise_en_page = document.documentLayout();
    for (QTextBlock bloc = document.begin(); bloc.isValid(); bloc = bloc.next()) {
        const int niveau = bloc.blockFormat().headingLevel();
        if (niveau < 1 || niveau > 2) continue;
        const double haut = mise_en_page->blockBoundingRect(bloc).top();
        liste.push_back({bloc.text(), niveau, static_cast<int>(haut / hauteur_page)});
    }
    return liste;
}

QString sommaire_html(const std::vector<Titre>& liste, int premiere_page_corps) {
    QString html = QStringLiteral(
        "<h1 style=\"color:#14327a\">Sommaire</h1><table width=\"100%\" "
        "cellspacing=\"0\" cellpadding=\"2\">");
    for (const Titre& t : liste) {
        const QString texte = t.texte.toHtmlEscaped();
        html +=
            t.niveau == 1
                ? QStringLiteral(
                      "<tr><td style=\"padding-top:6px\"><b>%1</b></td>"
                      "<td align=\"right\" style=\"padding-top:6px\"><b>%2</b></td></tr>")
                : QStringLiteral(
                      "<tr><td>&nbsp;&nbsp;&nbsp;&nbsp;%1</td><td align=\"right\">%2</td></tr>");
        html = html.arg(texte).arg(premiere_page_corps + t.page);
    }
    return html + QStringLiteral("</table>");
}

// A letter spacing, even tiny, keeps Qt from joining "fi" or "ffi" into one glyph: the
// text copied or searched in the PDF then holds the plain letters.
QFont police_texte(int points, int graisse = QFont::Normal) {
    QFont police(QStringLiteral("DejaVu Sans"), points, graisse);
    police.setLetterSpacing(QFont::AbsoluteSpacing, 0.1);
    return police;
}

void pied_de_page(QPainter& p, const QRectF& zone, int page, int total) {
    p.save();
    p.setFont(police_texte(8));
    p.setPen(gris);
    p.drawLine(QPointF(zone.left(), zone.top()), QPointF(zone.right(), zone.top()));
    p.drawText(zone, Qt::AlignLeft | Qt::AlignBottom, titre_manuel);
    p.drawText(zone, Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("page %1 / %2").arg(page).arg(total));
    p.restore();
}

void page_de_titre(QPainter& p, const QRectF& zone) {
    p.save();
    p.setPen(bleu_titres);
    p.setFont(police_texte(40, QFont::Bold));
    const QRectF haut(zone.left(), zone.top() + zone.height() * 0.25, zone.width(),
                      zone.height() * 0.12);
    p.drawText(haut, Qt::AlignCenter, QStringLiteral("T a r v o"));
    p.setFont(police_texte(16));
    p.drawText(haut.translated(0, haut.height()), Qt::AlignCenter,
               QStringLiteral("Séries régulières de mesures d'enregistreurs"));
    p.setPen(Qt::black);
    p.setFont(police_texte(20));
    p.drawText(haut.translated(0, 2.2 * haut.height()), Qt::AlignCenter,
               QStringLiteral("Manuel d'utilisation"));
    p.setPen(gris);
    p.setFont(police_texte(11));
    p.drawText(QRectF(zone.left(), zone.bottom() - zone.height() * 0.15, zone.width(),
                      zone.height() * 0.1),
               Qt::AlignCenter,
               QStringLiteral("fichiers d'enregistreurs  →  une série horodatée régulière\n"
                              "fenêtre  tarvo   et   programme par lots  tarvo-lot"));
    p.restore();
}

// The body page where the chapter whose title ends with `fin_titre` begins, or -1.
int page_du_chapitre(const std::vector<Titre>& liste, const QString& fin_titre) {
    for (const Titre& t : liste)
        if (t.niveau == 1 && t.texte.endsWith(fin_titre)) return t.page;
    return -1;
}

// The body page where the chapter after the one starting at `page` begins, or `fin`.
int page_du_chapitre_suivant(const std::vector<Titre>& liste, int page, int fin) {
    for (const Titre& t : liste)
        if (t.niveau == 1 && t.page > page) return t.page;
    return fin;
}

// Draws page `page` of a paginated document in the body area.
void dessiner_page(QPainter& p, QTextDocument& document, int page, const QSizeF& taille) {
    p.save();
    p.translate(0, -page * taille.height());
    document.drawContents(&p, QRectF(QPointF(0, page * taille.height()), taille));
    p.restore();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr,
                     "usage : generer_manuel manuel.md Pelmo_manuel.pdf Pelmo_manuel_versions.pdf "
                     "dossier_images\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "impossible de lire %s\n", argv[1]);
        return 1;
    }
    const QString markdown = QString::fromUtf8(source.readAll());

    const auto ouvrir_pdf = [](QPdfWriter& pdf, const QString& titre) {
        pdf.setResolution(resolution);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(20, 16, 20, 14), QPageLayout::Millimeter));
        pdf.setTitle(titre);
        pdf.setCreator(QStringLiteral("Tarvo"));
    };
    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    ouvrir_pdf(pdf, titre_manuel);

    const QRectF zone = pdf.pageLayout().paintRectPixels(resolution);
    const double hauteur_pied = resolution * 0.3;  // about 7.5 mm under the text
    const QSizeF taille(zone.width(), zone.height() - hauteur_pied);
    const QRectF pied(0, taille.height() + hauteur_pied * 0.3, zone.width(), hauteur_pied * 0.7);

    const auto preparer = [&](QTextDocument& d) {
        d.documentLayout()->setPaintDevice(&pdf);
        d.setDefaultFont(police_texte(10));
        d.setDocumentMargin(0);
        d.setPageSize(taille);
    };
    QTextDocument corps;
    preparer(corps);
    corps.setBaseUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[4]) + QStringLiteral("/")));
    corps.setMarkdown(markdown);
    mettre_en_forme(corps);
    // Image sizes are counted at 96 dots per inch, the layout scales them to the PDF's.
    if (!mettre_en_forme_images(corps, taille.width() * 96.0 / pdf.logicalDpiX())) return 1;
    const std::vector<Titre> liste = titres(corps, taille.height());

    // The contents' own length does not depend on the numbers it shows: lay it out once
    // to count its pages, then with the real numbers.
    QTextDocument sommaire;
    preparer(sommaire);
    sommaire.setHtml(sommaire_html(liste, 0));
    const int pages_sommaire = sommaire.pageCount();
    const int premiere_page_corps = 2 + pages_sommaire;
    sommaire.setHtml(sommaire_html(liste, premiere_page_corps));
    const int total = 1 + pages_sommaire + corps.pageCount();

    QPainter p(&pdf);
    page_de_titre(p, QRectF(QPointF(0, 0), zone.size()));
    int numero = 1;
    for (QTextDocument* d : {&sommaire, &corps}) {
        for (int page = 0; page < d->pageCount(); ++page) {
            pdf.newPage();
            ++numero;
            dessiner_page(p, *d, page, taille);
            pied_de_page(p, pied, numero, total);
        }
    }
    if (!p.end()) {
        std::fprintf(stderr, "impossible d'écrire %s\n", argv[2]);
        return 1;
    }
    std::printf("%s : %d pages\n", argv[2], total);

    const int versions = page_du_chapitre(liste, QStringLiteral("Versions"));
    if (versions < 0) {
        std::fprintf(stderr, "chapitre Versions absent de %s\n", argv[1]);
        return 1;
    }
    QPdfWriter extrait(QString::fromLocal8Bit(argv[3]));
    ouvrir_pdf(extrait, titre_manuel + QStringLiteral(" – Versions"));
    QPainter q(&extrait);
    const int fin_versions = page_du_chapitre_suivant(liste, versions, corps.pageCount());
    for (int page = versions; page < fin_versions; ++page) {
        if (page > versions) extrait.newPage();
        dessiner_page(q, corps, page, taille);
        pied_de_page(q, pied, premiere_page_corps + page, total);
    }
    if (!q.end()) {
        std::fprintf(stderr, "impossible d'écrire %s\n", argv[3]);
        return 1;
    }
    std::printf("%s : %d pages\n", argv[3], fin_versions - versions);
    return 0;
}
