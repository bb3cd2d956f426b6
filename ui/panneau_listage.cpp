// Zone 2 of the main window: the listing command, the file table, the counts and date
// extremes of the last listing, and the preview of the last pre-read file.
#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

#include "inventory/intitules.h"
#include "session/session.h"
#include "ui/controles.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"
#include "ui/modele_apercu.h"
#include "ui/modele_table_fichiers.h"
#include "ui/panneaux.h"

namespace tarvo {

namespace {

// Memo1 is drawn from this many lines at most: the preview is for the eye, and a
// million-line logger file would freeze the window.
constexpr int lignes_memo1_max = 2000;
// The memo shows a big file's first lines, which its pre-reading always holds.
static_assert(lignes_memo1_max <= lignes_tete_garanties);

const char* const aide_dates =
    "un doubleclik permet de récupérer la date pour la valeur Min ou Max ";

// Cells are drawn after one blank, and a selected row in the colours the model gives for
// it rather than the style's highlight.
class DelegueTableFichiers : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text.prepend(QLatin1Char(' '));
        if (!(option->state & QStyle::State_Selected)) return;
        option->state &= ~QStyle::State_Selected;
        option->backgroundBrush =
            index.data(ModeleTableFichiers::role_fond_selection).value<QColor>();
        const QColor texte = index.data(ModeleTableFichiers::role_texte_selection).value<QColor>();
        option->palette.setColor(QPalette::Text, texte);
    }
};

// "double click pour affichage complet": the preview gives way to the whole buffer.
class AffichageComplet : public QObject {
public:
    AffichageComplet(QStackedLayout* pile, QWidget* complet, QObject* parent)
        : QObject(parent), pile_(pile), complet_(complet) {}

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override {
        if (evenement->type() == QEvent::MouseButtonDblClick) {
            pile_->setCurrentWidget(complet_);
            return true;
        }
        return QObject::eventFilter(objet, evenement);
    }

private:
    QStackedLayout* pile_;
    QWidget* complet_;
};

// A table of the lines of the file pre-read, numbered as the description numbers them.
QTableView* vue_apercu(const char* nom, ModeleApercu*& modele) {
    auto* vue = nomme<QTableView>(nom);
    modele = new ModeleApercu(vue);
    vue->setModel(modele);
    vue->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vue->setWordWrap(false);
    vue->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    vue->verticalHeader()->setMinimumSectionSize(1);
    vue->verticalHeader()->setDefaultSectionSize(vue->fontMetrics().height() + 2);
    donner_role(vue, RoleCouleur::listes);
    return vue;
}

// After new lines: the note spans its rows, and each column is as wide as its fields.
void ajuster(QTableView* vue, const ModeleApercu& modele) {
    vue->clearSpans();
    for (int r = modele.premiere_ligne_note(); r < modele.rowCount(); ++r)
        if (modele.columnCount() > 1) vue->setSpan(r, 0, 1, modele.columnCount());
    vue->resizeColumnsToContents();
    // A header line of one long field must not push the other columns out of sight: a
    // column is at most as wide as a whole date, its cut texts read in their tooltips.
    const int largeur_max =
        vue->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000 00:00:00")) + 12;
    for (int c = 0; c < modele.columnCount(); ++c)
        vue->setColumnWidth(c, std::min(vue->columnWidth(c), largeur_max));
}

}  // namespace

PanneauListage::PanneauListage(QWidget* parent) : QWidget(parent) {
    lister_ = nomme<QPushButton>("SpeedButton_lister",
                                 QString::fromUtf8("1  Valider et lister les fichiers *.*"));

    auto* commandes = new QHBoxLayout;
    commandes->addWidget(lister_);
    commandes->addWidget(
        nomme<QCheckBox>("CheckBox_prelire_tous",
                         QString::fromUtf8("Pré-lecture de tous les fichiers ou que ceux cochés")));
    commandes->addWidget(
        nomme<QCheckBox>("CheckBox_grand_tableau", QStringLiteral("grand Tableau")));
    commandes->addStretch();
    commandes->addWidget(etiquette("Label53", QString::fromUtf8("nb de fichiers :")));
    commandes->addWidget(etiquette("Label54", QStringLiteral("0")));
    commandes->addWidget(etiquette("Label_nb_fic"));
    commandes->addWidget(
        etiquette("Label7", QString::fromUtf8("double-clic sur un nom => éditeur")));

    // The hand editing of the table: the listing again, then the deletions, each asking first.
    auto* edition = new QHBoxLayout;
    edition->addWidget(bouton("SpeedButton6", QString::fromUtf8("réaf tableau complet")));
    edition->addWidget(
        bouton("SpeedButton_effacer_selection", QString::fromUtf8("effacer la sélection")));
    edition->addWidget(
        bouton("SpeedButton_effacer_vers_le_haut", QStringLiteral("effacer vers le HAUT")));
    edition->addWidget(
        bouton("SpeedButton_effacer_vers_le_bas", QStringLiteral("effacer vers le BAS")));
    edition->addWidget(bouton("SpeedButton_effacer_ligne_hors_intervalle",
                              QString::fromUtf8("sup si hors Période")));
    edition->addWidget(
        nomme<QCheckBox>("CheckBox_sans_confirmation", QStringLiteral("sans confirmation")));
    edition->addStretch();

    // File names as long as the loggers make them share the row rather than widen the page.
    auto* lecture = new QHBoxLayout;
    for (const char* nom : {"Label_nom_de_fichier", "Label_fic"}) {
        QLabel* l = etiquette(nom);
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        lecture->addWidget(l, 1);
    }
    for (const char* nom : {"Label1", "Label19", "Label26", "Label8"})
        lecture->addWidget(etiquette(nom));
    lecture->addStretch(1);

    // The extremes, min above max, each after its caption; all of them offer their date
    // to the period by a double click.
    auto* extremes = new QGridLayout;
    const char* const noms[2][3] = {{"Label27", "Label_date_min", "Label_date_heure_min"},
                                    {"Label28", "Label_date_max", "Label_date_heure_max"}};
    for (int ligne = 0; ligne < 2; ++ligne)
        for (int c = 0; c < 3; ++c) {
            QLabel* l = etiquette(noms[ligne][c], c > 0        ? QString()
                                                  : ligne == 0 ? QStringLiteral("min")
                                                               : QStringLiteral("max"));
            l->setToolTip(QString::fromUtf8(aide_dates));
            extremes->addWidget(l, ligne, c);
        }
    extremes->setColumnStretch(3, 1);

    auto* table = nomme<QTableView>("StringGrid1");
    modele_ = new ModeleTableFichiers(table);
    auto* modele = modele_;
    table->setModel(modele);
    table->setItemDelegate(new DelegueTableFichiers(table));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setMinimumSectionSize(1);
    table->verticalHeader()->setDefaultSectionSize(15);
    // No title and no date is cut: a column is at least as wide as its title in the window's
    // font, and a column of dates as wide as a whole date.
    const QFontMetrics mesure(table->font());
    const QFontMetrics mesure_titre(table->horizontalHeader()->font());
    const int date = mesure.horizontalAdvance(QStringLiteral("00/00/0000 00:00:00")) + 12;
    for (int c = 0; c < nb_colonnes_table; ++c) {
        const auto u = static_cast<std::size_t>(c);
        int largeur = std::max(largeurs_table()[u],
                               mesure_titre.horizontalAdvance(qt(titres_table()[u])) + 16);
        if (c == static_cast<int>(Colonne::date_dep) || c == static_cast<int>(Colonne::date_fin) ||
            c == static_cast<int>(Colonne::date_nom_fichier))
            largeur = std::max(largeur, date);
        table->setColumnWidth(c, largeur);
    }
    donner_role(table, RoleCouleur::listes);

    // Memo6 is laid over Memo1: the preview first, the buffer on demand.
    memo1_ = vue_apercu("Memo1", modele1_);
    memo6_ = vue_apercu("Memo6", modele6_);
    pile_ = new QStackedLayout;
    pile_->addWidget(memo6_);
    pile_->addWidget(memo1_);
    memo6_->viewport()->installEventFilter(new AffichageComplet(pile_, memo1_, memo6_));

    auto* corps = new QHBoxLayout;
    corps->addWidget(table, 3);
    corps->addLayout(pile_, 2);

    auto* mise_en_page = new QVBoxLayout(this);
    mise_en_page->addLayout(commandes);
    mise_en_page->addLayout(edition);
    mise_en_page->addLayout(lecture);
    mise_en_page->addLayout(extremes);
    mise_en_page->addLayout(corps, 1);
    textes_ = TextesZone(this, ZoneTexte::listage);
}

void PanneauListage::rafraichir(const Session& session) {
    const AffichageListage& a = session.inventaire.affichage;
    modele_->definir_couleurs(couleurs_affichees(session.description.RadioGroup_coul_nb,
                                                 session.parametres_prm.couleurs));
    modele_->definir(&session.table);

    if (!a.legende_SpeedButton_lister.empty()) lister_->setText(qt(a.legende_SpeedButton_lister));
    textes_.rafraichir(session);

    // A table is redone only when its lines changed, so that a refresh after another
    // command keeps its scroll position and the table the user brought in front. The
    // columns are the fields the run reads with the separator now chosen.
    const char separateur = separateur_entree(session.description);
    const bool guillemets = session.description.CheckBox_champs_guillemets;
    const TamponLignes& tampon = session.inventaire.tampon_fichier_lu;
    std::vector<std::string_view> lignes;
    for (int i = 0; i < std::min(tampon.nb_lignes(), lignes_memo1_max); ++i)
        lignes.push_back(tampon.ligne(i));
    if (modele1_->definir(lignes, separateur, guillemets)) ajuster(memo1_, *modele1_);
    const std::vector<std::string_view> apercu(a.apercu.begin(), a.apercu.end());
    if (modele6_->definir(apercu, separateur, guillemets,
                          a.apercu.empty() ? std::vector<std::string>() : note_apercu())) {
        ajuster(memo6_, *modele6_);
        pile_->setCurrentWidget(memo6_);
    }
    if (a.apercu.empty()) pile_->setCurrentWidget(memo1_);
}

}  // namespace tarvo
