#include "ui/panneau_repertoires.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileSystemModel>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/controles.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"

namespace tarvo {

namespace {

struct BoutonRepertoire {
    ChoixRepertoireDemande quel;
    const char* bouton;
    const char* label;
};
constexpr BoutonRepertoire boutons_repertoires[] = {
    {ChoixRepertoireDemande::donnees, "SpeedButton_choix_rep_donnee", "Label_repertoire"},
    {ChoixRepertoireDemande::description, "SpeedButton_choix_rep_desc", "Label_rep_description"},
    {ChoixRepertoireDemande::sortie, "SpeedButton_choix_rep_sortie", "Label_rep_sortie"}};

constexpr QSize taille_panneau(640, 440);
constexpr QSize taille_recents(700, 400);
constexpr int hauteur_lecteur = 712;

void colorer(QWidget* controle, bool rouge) {
    if (rouge)
        colorer_legende(controle, couleur_rouge);
    else
        legende_normale(controle);
}

// A place for a child of the window at `voulu`, kept inside the window where it fits.
QPoint dans_fenetre(const QWidget* fenetre, QPoint voulu, QSize taille) {
    return {std::clamp(voulu.x(), 0, std::max(0, fenetre->width() - taille.width())),
            std::clamp(voulu.y(), 0, std::max(0, fenetre->height() - taille.height()))};
}

QString sans_barre_finale(const std::string& dossier) {
    return QDir::cleanPath(qt(dossier));
}

}  // namespace

PanneauRepertoires::PanneauRepertoires(Session& session, Dialogue& dialogue, Lanceur& lanceur,
                                       std::string dossier_programme, QWidget* fenetre)
    : QWidget(fenetre),
      choix_(session, dialogue, lanceur, std::move(dossier_programme)),
      fenetre_(fenetre) {
    // The window's directory buttons and labels, which this panel colours and opens under.
    if (fenetre_) {
        for (std::size_t i = 0; i < std::size(boutons_repertoires); ++i)
            controles_fenetre_[i] = {
                exiger<QAbstractButton>(fenetre_, QLatin1String(boutons_repertoires[i].bouton)),
                exiger<QWidget>(fenetre_, QLatin1String(boutons_repertoires[i].label))};
        change_hd_ = exiger<QWidget>(fenetre_, "SpeedButton_change_hd");
    }
    construire();
    construire_lecteur();
    afficher();
}

void PanneauRepertoires::construire() {
    setObjectName(QStringLiteral("Panel_dir"));
    setAutoFillBackground(true);
    donner_role(this, RoleCouleur::fond);
    setFixedSize(taille_panneau);
    auto* tout = new QVBoxLayout(this);

    auto* haut = new QHBoxLayout;
    tout->addLayout(haut);
    lecteurs_ = nomme<QComboBox>("DriveComboBox1", this);
    donner_role(lecteurs_, RoleCouleur::listes);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) lecteurs_->addItem(volume.rootPath());
    haut->addWidget(lecteurs_, 1);
    auto* bureau = bouton("Panel_rep_desktop", QStringLiteral("/ Bureau"), RoleCouleur::boutons);
    auto* documents =
        bouton("Panel_mes_documents", QStringLiteral("/ Mes documents"), RoleCouleur::boutons);
    auto* explorateur =
        bouton("SpeedButton14", QStringLiteral("Explorateur"), RoleCouleur::boutons);
    auto* recents =
        bouton("SpeedButton_rep_recent", QString::fromUtf8("récents"), RoleCouleur::boutons);
    auto* fermer =
        bouton("SpeedButton_fermer_repertoire", QStringLiteral("X"), RoleCouleur::boutons);
    for (QWidget* b : {static_cast<QWidget*>(bureau), static_cast<QWidget*>(documents),
                       static_cast<QWidget*>(explorateur), static_cast<QWidget*>(recents),
                       static_cast<QWidget*>(fermer)})
        haut->addWidget(b);

    dir_new_ = etiquette("Label_dir_new");
    dir_new_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    tout->addWidget(dir_new_);
    saisie_ = nomme<QLineEdit>("Edit_dir_new", this);
    donner_role(saisie_, RoleCouleur::saisie);
    saisie_->setPlaceholderText(QString::fromUtf8("chemin du répertoire, puis Entrée"));
    tout->addWidget(saisie_);

    auto* listes = new QHBoxLayout;
    tout->addLayout(listes, 1);
    modele_dossiers_ = new QFileSystemModel(this);
    modele_dossiers_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    modele_dossiers_->setRootPath(QDir::rootPath());
    dossiers_ = nomme<QTreeView>("DirectoryListBox1", this);
    donner_role(dossiers_, RoleCouleur::listes);
    dossiers_->setModel(modele_dossiers_);
    for (int colonne = 1; colonne < modele_dossiers_->columnCount(); ++colonne)
        dossiers_->hideColumn(colonne);
    dossiers_->header()->hide();
    listes->addWidget(dossiers_, 1);
    modele_fichiers_ = new QFileSystemModel(this);
    modele_fichiers_->setFilter(QDir::Files);
    fichiers_ = nomme<QListView>("FileListBox1", this);
    donner_role(fichiers_, RoleCouleur::listes);
    fichiers_->setModel(modele_fichiers_);
    listes->addWidget(fichiers_, 1);

    auto* bas = new QHBoxLayout;
    tout->addLayout(bas);
    nb_fichiers_ = etiquette("Label45");
    bas->addWidget(nb_fichiers_);
    bas->addStretch(1);
    valider_ =
        bouton("SpeedButton_valider_repertoire", QStringLiteral("Valider"), RoleCouleur::boutons);
    bas->addWidget(valider_);
    auto* annuler_b =
        bouton("SpeedButton_annuler_repertoire", QStringLiteral("Annuler"), RoleCouleur::boutons);
    bas->addWidget(annuler_b);

    recents_ = nomme<QListWidget>("ListBox_rep_recent", fenetre_);
    donner_role(recents_, RoleCouleur::listes);
    recents_->setFixedSize(taille_recents);
    recents_->installEventFilter(this);

    connect(dossiers_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) { repertoire_change(index); });
    connect(lecteurs_, &QComboBox::activated, this,
            [this](int i) { aller_vers(lecteurs_->itemText(i)); });
    connect(bureau, &QPushButton::clicked, this, [this] {
        aller_vers(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    });
    connect(documents, &QPushButton::clicked, this, [this] {
        aller_vers(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    });
    connect(explorateur, &QPushButton::clicked, this, [this] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(qt(choix_.repertoire_explorateur())));
    });
    connect(recents, &QPushButton::clicked, this, [this] {
        choix_.basculer_recents();
        afficher();
    });
    connect(recents_, &QListWidget::itemDoubleClicked, this, [this] {
        if (recents_->currentRow() < 0) return;
        choix_.choisir_recent(static_cast<std::size_t>(recents_->currentRow()));
        afficher();
        emit repertoires_changes();
    });
    connect(fichiers_, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        choix_.editer_fichier(cp(modele_fichiers_->filePath(index)));
    });
    connect(saisie_, &QLineEdit::returnPressed, this, [this] { suivre_saisie(); });
    // The tree fills in the background: the directory shown must stay in view as it grows.
    connect(modele_dossiers_, &QFileSystemModel::directoryLoaded, this, [this] {
        if (!cible_.isEmpty()) aller_vers(cible_);
    });
    connect(dossiers_, &QTreeView::pressed, this, [this] { cible_.clear(); });
    connect(valider_, &QPushButton::clicked, this, [this] { valider(); });
    connect(annuler_b, &QPushButton::clicked, this, [this] { annuler(); });
    connect(fermer, &QPushButton::clicked, this, [this] { annuler(); });
}

void PanneauRepertoires::construire_lecteur() {
    lecteur_ = nomme<QFrame>("Panel_lecteur", fenetre_);
    lecteur_->setFrameShape(QFrame::Panel);
    lecteur_->setAutoFillBackground(true);
    donner_role(lecteur_, RoleCouleur::fond);
    lecteur_->setFixedSize(taille_panneau.width(), hauteur_lecteur);
    auto* tout = new QVBoxLayout(lecteur_);
    auto* haut = new QHBoxLayout;
    tout->addLayout(haut);
    label64_ = etiquette("Label64");
    label64_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    haut->addWidget(label64_, 1);
    edit_lecteur_ = saisie("Edit_lecteur", RoleCouleur::saisie, 120);
    haut->addWidget(edit_lecteur_);
    auto* modifier =
        bouton("SpeedButton_modifier", QStringLiteral("Modifier"), RoleCouleur::boutons);
    haut->addWidget(modifier);
    auto* fermer = bouton("SpeedButton_fermer_lecteur", QStringLiteral("X"), RoleCouleur::boutons);
    haut->addWidget(fermer);
    memo8_ = nomme<QPlainTextEdit>("Memo8", lecteur_);
    memo8_->setReadOnly(true);
    donner_role(memo8_, RoleCouleur::listes);
    tout->addWidget(memo8_, 1);
    chemins_fichiers_ = nomme<QListWidget>("ListBox_CheminsFichiers", lecteur_);
    chemins_fichiers_->hide();
    lecteur_->installEventFilter(this);

    connect(edit_lecteur_, &QLineEdit::textEdited, this, [this](const QString& texte) {
        choix_.saisir_lecteur(cp(texte));
        if (qt(choix_.Edit_lecteur) != texte) edit_lecteur_->setText(qt(choix_.Edit_lecteur));
    });
    connect(modifier, &QPushButton::clicked, this, [this] {
        const bool change = choix_.modifier_lecteur();
        afficher();
        if (change) emit repertoires_changes();
    });
    connect(fermer, &QPushButton::clicked, this, [this] {
        choix_.fermer_changement_lecteur();
        afficher();
    });
}

void PanneauRepertoires::ouvrir(ChoixRepertoireDemande quel) {
    raise();
    const auto* b = std::find_if(std::begin(boutons_repertoires), std::end(boutons_repertoires),
                                 [&](const BoutonRepertoire& r) { return r.quel == quel; });
    if (b == std::end(boutons_repertoires)) return;
    const ControlesRepertoire& c =
        controles_fenetre_[static_cast<std::size_t>(b - std::begin(boutons_repertoires))];
    std::string legende;
    if (c.bouton) legende = cp(c.bouton->text());
    const SuiteOuverture suite = choix_.ouvrir_choix_repertoire(
        quel, static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0, legende);
    if (suite == SuiteOuverture::ignoree) return;
    if (suite == SuiteOuverture::ouverte) {
        if (const QWidget* label = c.label)
            move(
                dans_fenetre(fenetre_, label->mapTo(fenetre_, QPoint(0, label->height())), size()));
        aller_vers(sans_barre_finale(choix_.repertoire_liste));
    }
    afficher();
    if (isVisible()) {
        // A hidden tree has no size to scroll in: the directory is brought into view again.
        if (!cible_.isEmpty()) aller_vers(cible_);
        dossiers_->setFocus();
    }
    emit repertoires_changes();
}

void PanneauRepertoires::ouvrir_changement_lecteur() {
    const ChoixRepertoireDemande demande = choix_.ouvrir_changement_lecteur();
    if (demande != ChoixRepertoireDemande::aucun) {
        ouvrir(demande);
        return;
    }
    if (const QWidget* b = change_hd_)
        lecteur_->move(
            dans_fenetre(fenetre_, b->mapTo(fenetre_, QPoint(0, b->height())), lecteur_->size()));
    afficher();
}

void PanneauRepertoires::aller_vers(const QString& chemin) {
    if (chemin.isEmpty()) return;
    cible_ = chemin;
    const QModelIndex index = modele_dossiers_->index(chemin);
    if (!index.isValid()) return;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        dossiers_->expand(parent);
    if (dossiers_->currentIndex() == index)
        repertoire_change(index);
    else
        dossiers_->setCurrentIndex(index);
    dossiers_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void PanneauRepertoires::repertoire_change(const QModelIndex& index) {
    const QString chemin = modele_dossiers_->filePath(index);
    if (chemin.isEmpty()) return;
    choix_.changer_repertoire(cp(chemin));
    montrer_repertoire(choix_.repertoire_liste);
    saisie_->setText(sans_barre_finale(choix_.repertoire_liste));
    afficher();
}

bool PanneauRepertoires::suivre_saisie() {
    const QString saisi = QDir::cleanPath(saisie_->text().trimmed());
    if (saisi.isEmpty() || saisi == sans_barre_finale(choix_.repertoire_liste)) return true;
    if (!choix_.saisir_repertoire(cp(saisi))) return false;
    aller_vers(sans_barre_finale(choix_.repertoire_liste));
    afficher();
    return true;
}

bool PanneauRepertoires::fermer_par_echap() {
    if (choix_.ListBox_rep_recent_visible)
        choix_.basculer_recents();
    else if (choix_.Panel_lecteur_visible)
        choix_.fermer_changement_lecteur();
    else if (choix_.Panel_dir_visible)
        choix_.annuler_repertoire();
    else
        return false;
    afficher();
    return true;
}

void PanneauRepertoires::keyPressEvent(QKeyEvent* evenement) {
    if (evenement->key() != Qt::Key_Escape || !fermer_par_echap())
        QWidget::keyPressEvent(evenement);
}

bool PanneauRepertoires::eventFilter(QObject* objet, QEvent* evenement) {
    if (evenement->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(evenement)->key() == Qt::Key_Escape && fermer_par_echap())
        return true;
    return QWidget::eventFilter(objet, evenement);
}

void PanneauRepertoires::montrer_repertoire(const std::string& repertoire) {
    const QString chemin = sans_barre_finale(repertoire);
    fichiers_->setRootIndex(modele_fichiers_->setRootPath(chemin));
    const int i = lecteurs_->findText(QStorageInfo(chemin).rootPath());
    if (i >= 0) {
        const QSignalBlocker bloque(lecteurs_);
        lecteurs_->setCurrentIndex(i);
    }
}

void PanneauRepertoires::valider() {
    if (!suivre_saisie()) return;
    const ResultatValidation r = choix_.valider_repertoire(choix_.repertoire_liste);
    afficher();
    emit repertoires_changes();
    if (r.lister) emit lister_demande();
}

void PanneauRepertoires::annuler() {
    choix_.annuler_repertoire();
    afficher();
}

void PanneauRepertoires::afficher() {
    setVisible(choix_.Panel_dir_visible);
    if (choix_.Panel_dir_visible) raise();
    dir_new_->setText(qt(choix_.Label_dir_new));
    dir_new_->setToolTip(dir_new_->text());
    colorer(dir_new_, choix_.Label_dir_new_rouge);
    nb_fichiers_->setText(qt(choix_.nb_fichiers_repertoire));
    colorer(valider_, choix_.valider_rouge);
    for (std::size_t i = 0; i < std::size(boutons_repertoires); ++i) {
        QWidget* bouton_fenetre = controles_fenetre_[i].bouton;
        if (!bouton_fenetre) continue;
        switch (choix_.couleur_bouton(boutons_repertoires[i].quel)) {
            case CouleurLegende::rouge:
                colorer_legende(bouton_fenetre, couleur_rouge);
                break;
            case CouleurLegende::marron:
                colorer_legende(bouton_fenetre, couleur_marron);
                break;
            case CouleurLegende::normale:
                legende_normale(bouton_fenetre);
                break;
        }
    }

    recents_->clear();
    for (const std::string& entree : choix_.recents.entrees()) recents_->addItem(qt(entree));
    if (fenetre_)
        recents_->move(
            dans_fenetre(fenetre_, geometry().topRight() + QPoint(1, 1), recents_->size()));
    recents_->setVisible(choix_.ListBox_rep_recent_visible);
    if (choix_.ListBox_rep_recent_visible) recents_->raise();

    lecteur_->setVisible(choix_.Panel_lecteur_visible);
    if (choix_.Panel_lecteur_visible) lecteur_->raise();
    label64_->setText(qt(choix_.repertoire_descriptions));
    if (edit_lecteur_->text() != qt(choix_.Edit_lecteur))
        edit_lecteur_->setText(qt(choix_.Edit_lecteur));
    QString memo;
    for (const std::string& ligne : choix_.rapport_lecteur) memo += qt(ligne) + QLatin1Char('\n');
    memo8_->setPlainText(memo);
    chemins_fichiers_->clear();
    for (const std::string& chemin : choix_.ListBox_CheminsFichiers)
        chemins_fichiers_->addItem(qt(chemin));
}

}  // namespace tarvo
