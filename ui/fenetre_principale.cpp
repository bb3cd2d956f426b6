#include "ui/fenetre_principale.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QThread>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <array>
#include <chrono>
#include <iostream>
#include <memory>

#include "description/fichier_description.h"
#include "engine/grille.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "session/lanceur_averti.h"
#include "session/session.h"
#include "ui/aide_fenetre.h"
#include "ui/cadres_zones.h"
#include "ui/commandes_exemplaire.h"
#include "ui/commandes_table.h"
#include "ui/controles.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"
#include "ui/fenetre_graphique.h"
#include "ui/liaison_description.h"
#include "ui/listes_motifs.h"
#include "ui/manuel_fenetre.h"
#include "ui/panneau_couleurs.h"
#include "ui/panneau_repertoires.h"
#include "ui/panneaux.h"
#include "ui/plateforme_qt.h"

namespace tarvo {

namespace {

QGroupBox* zone(const char* nom, std::string_view legende, QWidget* contenu,
                QWidget* second = nullptr) {
    auto* boite =
        new QGroupBox(QString::fromUtf8(legende.data(), static_cast<int>(legende.size())));
    boite->setObjectName(nom);
    auto* disposition = new QVBoxLayout(boite);
    disposition->setContentsMargins(4, 2, 4, 2);
    disposition->setSpacing(2);
    disposition->addWidget(contenu);
    if (second) disposition->addWidget(second);
    return boite;
}

// "label|pattern|label|pattern" to Qt's "label (pattern);;…": the label already names it.
QString filtre_qt(std::string_view filtre) {
    const QStringList morceaux = qt(filtre).split(QLatin1Char('|'));
    QStringList filtres;
    for (qsizetype i = 0; i + 1 < morceaux.size(); i += 2) filtres << morceaux[i];
    return filtres.join(QStringLiteral(";;"));
}

// Control `nom` of the zones, taken out of its zone's layout to be laid out elsewhere.
template <class W>
W* sortir_de_sa_zone(QWidget* contenu, const char* nom) {
    auto* w = exiger<W>(contenu, QLatin1String(nom));
    w->parentWidget()->layout()->removeWidget(w);
    return w;
}

}  // namespace

FenetrePrincipale::FenetrePrincipale(MoyensFenetre moyens, std::string chemin_programme,
                                     std::string dossier_programme,
                                     std::vector<std::string> arguments)
    : moyens_(std::move(moyens)),
      session_(moyens_.session),
      chemin_programme_(std::move(chemin_programme)),
      dossier_programme_(std::move(dossier_programme)) {
    setObjectName("Form1");
    if (moyens_.dialogue_qt) {
        moyens_.dialogue_qt->placer_sur(this);
        moyens_.dialogue_qt->avant_boite = [this] {
            if (occupe_) session_vers_ecran();
        };
    }
    construire();
    resoudre_controles();
    mode_ = ControlesMode(this);
    mode_.afficher(session_.source.mode);
    textes_ = TextesZone(this, ZoneTexte::fenetre);
    moyens_.progression.afficher_dans(c_.durees, c_.patienter, c_.reste);
    session_.choisir_nom_description = [this] {
        return choisir(session_.demande_enregistrer_sous(false), true);
    };
    repertoires_ = new PanneauRepertoires(session_, moyens_.dialogue, moyens_.lanceur,
                                          dossier_programme_, this);
    repertoires_->hide();
    graphique_ = new FenetreGraphique(session_, moyens_.dialogue, this);
    connecter();

    session_.lire_argument(arguments);
    session_.creation();
    c_.date_programme->setText(qt(texte_date_programme(chemin_programme_)));
    appliquer_couleurs(this, session_.parametres_prm.couleurs);
    session_vers_ecran();
}

FenetrePrincipale::~FenetrePrincipale() {
    // Deleting the children below could send this filter events it can no longer take.
    qApp->removeEventFilter(this);
    // The focus leaving a checked field as the window closes would run its check on members
    // already gone.
    if (QWidget* champ = QApplication::focusWidget(); champ && isAncestorOf(champ))
        champ->blockSignals(true);
    // The session lives on a little after the window: nothing of it may call back into it.
    session_.choisir_nom_description = nullptr;
    if (moyens_.dialogue_qt) {
        moyens_.dialogue_qt->avant_boite = nullptr;
        moyens_.dialogue_qt->placer_sur(nullptr);
    }
    moyens_.progression.afficher_dans(nullptr, nullptr);
}

void FenetrePrincipale::rafraichir_suivi() {
    suivi_->rafraichir(session_);
}

void FenetrePrincipale::construire() {
    auto* contenu = new QWidget;
    auto* colonne = new QVBoxLayout(contenu);
    colonne->setContentsMargins(4, 4, 4, 4);
    colonne->setSpacing(4);
    description_ = new PanneauDescription;
    valeurs_ = new PanneauValeurs;
    listage_ = new PanneauListage;
    sortie_ = new PanneauSortie;
    periode_ = new PanneauPeriode;
    execution_ = new PanneauExecution;
    colonne->addWidget(
        zone("zone1", "1- Description des fichiers de données", description_, valeurs_));
    colonne->addWidget(zone("zone2", "2- Listage des fichiers impliqués", listage_), 1);
    zone3_ = zone("zone3", "3- Format de sortie", sortie_);
    zone4_ = zone("zone4", "4- Période ciblée", periode_);
    zone5_ = zone("zone5", "5- Zone de sortie et d'attente", execution_);
    bas_ = new QGridLayout;
    bas_->setSpacing(4);
    colonne->addLayout(bas_);
    disposer_bas(true);

    // Small screens scroll rather than clip. The stage commands and the progress stay above
    // the scrolled zones and the tracking log below them, so that neither hides anything.
    // The wheel gives no focus to the pickers: passing over one it scrolls the page.
    for (QWidget* w : contenu->findChildren<QWidget*>())
        if (qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w))
            w->setFocusPolicy(Qt::StrongFocus);
    auto* defilement = new QScrollArea;
    defilement_ = defilement;
    defilement->setObjectName("defilement");
    defilement->setWidget(contenu);
    defilement->setWidgetResizable(true);
    defilement->setFrameShape(QFrame::NoFrame);
    auto* centre = new QWidget;
    centre->setObjectName("centre");
    auto* pile = new QVBoxLayout(centre);
    pile->setContentsMargins(0, 0, 0, 0);
    pile->setSpacing(0);
    pile->addWidget(barre_des_etapes(contenu));
    pile->addWidget(defilement, 1);
    // The help area shows the entry of whatever the pointer is over: it must never scroll
    // out of sight, so it sits beside the tracking log.
    auto* bas = new QHBoxLayout;
    bas->setSpacing(2);
    suivi_ = new FenetreSuivi;
    bas->addWidget(suivi_, 1);
    bas->addWidget(sortir_de_sa_zone<QWidget>(contenu, "Memo2"), 1, Qt::AlignBottom);
    pile->addLayout(bas);
    setCentralWidget(centre);
    // The shutdown countdown is drawn over the file table, outside its zone's bounds.
    execution_->compte_a_rebours()->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    const QRect ecran = screen()->availableGeometry();
    resize(std::min(1280, ecran.width()), std::min(800, ecran.height()));
}

void FenetrePrincipale::resoudre_controles() {
    c_.durees = exiger<QLabel>(this, "Label6");
    c_.patienter = exiger<QLabel>(this, "Label_patienter");
    c_.reste = exiger<QLabel>(this, "Label10");
    c_.date_programme = exiger<QLabel>(this, "Label70");
    c_.description_bd = exiger<QLabel>(this, "Label_description_bd");
    c_.pointeur_x = exiger<QLabel>(this, "Label_x");
    c_.pointeur_y = exiger<QLabel>(this, "Label_y");
    c_.arret_pc = exiger<QCheckBox>(this, "CheckBox_arret_PC");
    c_.heures_remises = {exiger<QTimeEdit>(this, "TimePicker_deb"),
                         exiger<QTimeEdit>(this, "TimePicker_fin"),
                         exiger<QTimeEdit>(this, "TimePicker_pas")};
    c_.table = exiger<QWidget>(this, "StringGrid1");
    c_.creer_grille = exiger<QWidget>(this, "SpeedButton_creer_listes_date_clean");
    c_.traiter = exiger<QWidget>(this, "SpeedButton_traiter_fichier");
    c_.graphique = exiger<QWidget>(this, "SpeedButton_graphique");
    // Stages 1 and 2 left their zones for the stage bar: they wait for the run as the zones do.
    c_.pendant_le_traitement = {exiger<QWidget>(this, "zone1"),
                                exiger<QWidget>(this, "zone2"),
                                exiger<QWidget>(this, "zone3"),
                                exiger<QWidget>(this, "zone4"),
                                exiger<QWidget>(this, "SpeedButton_lister"),
                                c_.creer_grille};
}

QWidget* FenetrePrincipale::barre_des_etapes(QWidget* contenu) {
    auto* barre = new QFrame;
    barre->setObjectName("Panel_etapes");
    barre->setFrameShape(QFrame::StyledPanel);
    donner_role(barre, RoleCouleur::boutons);
    auto* ligne = new QHBoxLayout(barre);
    ligne->setContentsMargins(6, 3, 6, 3);
    ligne->setSpacing(8);
    for (const char* nom : {"SpeedButton_lister", "SpeedButton_creer_listes_date_clean",
                            "SpeedButton_traiter_fichier", "SpeedButton_stop"}) {
        auto* bouton = sortir_de_sa_zone<QWidget>(contenu, nom);
        bouton->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
        ligne->addWidget(bouton);
    }
    // The durations and the time left get the width of their longest form, so that nothing
    // moves as they change. The waiting text sits under the durations, which are wider than
    // its longest form: a narrow screen cannot cut it.
    const auto largeur_fixe = [&](const char* nom, const char* plus_long) {
        auto* texte = sortir_de_sa_zone<QLabel>(contenu, nom);
        texte->setFixedWidth(texte->fontMetrics().horizontalAdvance(QString::fromUtf8(plus_long)) +
                             8);
        return texte;
    };
    auto* durees =
        largeur_fixe("Label6", "durées  00:00:00   00:00:00   00:00:00   totale 00:00:00");
    auto* patienter = sortir_de_sa_zone<QLabel>(contenu, "Label_patienter");
    // Shown only during a run, it keeps its room meanwhile so that the row never moves.
    QSizePolicy garde_sa_place(QSizePolicy::Ignored, QSizePolicy::Preferred);
    garde_sa_place.setRetainSizeWhenHidden(true);
    patienter->setSizePolicy(garde_sa_place);
    auto* pile = new QVBoxLayout;
    pile->setSpacing(0);
    pile->addWidget(durees);
    pile->addWidget(patienter);
    ligne->addLayout(pile);
    ligne->addWidget(largeur_fixe("Label10", "00:00:00 >> 00:00:00    9999,99 Mo"));
    ligne->addStretch(1);
    return barre;
}

void FenetrePrincipale::connecter_bouton(const char* nom, std::function<void()> action) {
    connecter_clic(this, QLatin1String(nom), this, std::move(action));
}

void FenetrePrincipale::connecter() {
    Session& s = session_;
    // The colour panel, built below, runs its own command when its mode changes.
    LiaisonDescription(centralWidget()).surveiller([this] {
        if (occupe_) return;
        liaison_.enregistrer(session_.description);
        session_.marquer_modifie();
        description_->rafraichir(session_);
    });
    connect(periode_, &PanneauPeriode::grille_modifiee, this, [this] {
        if (occupe_) return;
        periode_->enregistrer(session_.parametres_grille, session_.SpinEdit_decalage_jour);
        session_.parametres_grille_modifies();
        periode_->rafraichir(session_);
    });
    connect(periode_, &PanneauPeriode::remise_a_zero_demandee, this, [this](int quoi) {
        if (occupe_) return;
        const double heure =
            fraction_de(c_.heures_remises.at(static_cast<std::size_t>(quoi))->time());
        if (moyens_.dialogue.question(IdMessage::remettre_periode_a_zero,
                                      question_mise_a_zero(quoi, heure), TypeMessage::confirmation,
                                      Boutons::oui_non) == Reponse::oui)
            periode_->mettre_a_zero(quoi);
    });
    connect(suivi_, &FenetreSuivi::taille_changee, this, [this](bool grande) {
        grande_suivi_ = grande;
        placer_suivi();
    });
    connect(repertoires_, &PanneauRepertoires::repertoires_changes, this,
            [this] { session_vers_ecran(); });
    connect(repertoires_, &PanneauRepertoires::lister_demande, this, [this] { lister(); });

    connecter_bouton("SpeedButton_choix_rep_donnee",
                     [this] { repertoires_->ouvrir(ChoixRepertoireDemande::donnees); });
    connecter_bouton("SpeedButton_choix_rep_desc",
                     [this] { repertoires_->ouvrir(ChoixRepertoireDemande::description); });
    connecter_bouton("SpeedButton_choix_rep_sortie",
                     [this] { repertoires_->ouvrir(ChoixRepertoireDemande::sortie); });
    connecter_bouton("SpeedButton_change_hd",
                     [this] { repertoires_->ouvrir_changement_lecteur(); });
    connecter_bouton("SpeedButton_desc_bd", [this, &s] {
        executer([&] { s.choisir_description(choisir(s.demande_choix_description(), false)); });
    });
    connecter_bouton("SpeedButton_Enregistrer_dsc",
                     [this, &s] { executer([&] { s.enregistrer_description(); }); });
    connecter_bouton("SpeedButton_enreg_description", [this, &s] {
        executer([&] {
            s.enregistrer_description_sous(choisir(s.demande_enregistrer_sous(false), true));
        });
    });
    connecter_bouton("SpeedButton_nouveau_dsc", [this, &s] {
        executer([&] {
            s.nouvelle_description([&] { return choisir(s.demande_enregistrer_sous(true), true); });
        });
    });
    connecter_bouton("SpeedButton_lister", [this] { lister(); });
    connecter_bouton("SpeedButton_creer_listes_date_clean", [this] { creer_grille(); });
    connecter_bouton("SpeedButton_traiter_fichier", [this] { traiter(); });
    // Not a command: it must act while a run holds the window.
    connecter_bouton("SpeedButton_stop", [&s] { s.demander_arret(); });
    connecter_bouton("SpeedButton_enregistrer", [this, &s] {
        // During a run, which holds the window, it saves the rows formatted so far.
        if (s.traitement_en_cours) {
            s.sauver();
            return;
        }
        executer([&] { s.sauver(); });
    });
    connecter_bouton("SpeedButton_sans_coldate",
                     [this, &s] { executer([&] { s.copier_sans_coldate(); }); });
    connecter_bouton("SpeedButton_edit", [this] { ouvrir_resultat_dans_editeur(); });
    connecter_bouton("SpeedButton_suivi", [this, &s] {
        if (!s.dernier_enregistrement.chemin_suivi.empty())
            moyens_.lanceur.ouvrir_dans_editeur(s.dernier_enregistrement.chemin_suivi);
    });
    connecter_bouton("SpeedButton_rep_export", [this, &s] {
        if (const auto chemin = choisir(s.demande_repertoire_sortie(), false))
            moyens_.lanceur.ouvrir_dans_editeur(*chemin);
    });
    connecter_bouton("SpeedButton_exit", [this] { quitter(); });
    connecter_bouton("SpeedButton_test_son",
                     [this, &s] { s.jouer_son_de_fin(moyens_.audio, std::cout); });
    connecter_bouton("SpeedButton_graphique", [this] { graphique_->basculer(); });
    connect(graphique_, &FenetreGraphique::selection_modifiee, this,
            [this] { description_->rafraichir(session_); });
    connecter_bouton("SpeedButton_clear", [this, &s] {
        // During a run the log becomes the tracking file: only the view is cleared.
        if (s.traitement_en_cours) {
            suivi_->effacer_affichage();
            return;
        }
        s.journal.vider();
        suivi_->rafraichir(s);
    });
    connecter_bouton("Panel_button_liste_colonne",
                     [this, &s] { executer([&] { s.lister_colonnes(); }); });
    connecter_bouton("SpeedButton_fermer_suivi", [this] { suivi_->hide(); });
    connecter_bouton("Panel_button_suivi", [this] { suivi_->setVisible(!suivi_->isVisible()); });

    c_.description_bd->installEventFilter(this);
    qApp->installEventFilter(this);
    connecter_commandes_table(contexte_commandes());
    connecter_commandes_exemplaire(contexte_commandes());
    connecter_listes_motifs(contexte_commandes());
    connecter_couleurs(contexte_commandes());
    connecter_cadres(contexte_commandes());
    connecter_manuel(contexte_commandes());
    connecter_aide(contexte_commandes());
    choisisseurs_couleur_ = choisisseurs_couleur(this);
    liaison_ = LiaisonDescription(centralWidget());
}

ContexteCommandes FenetrePrincipale::contexte_commandes() {
    return {this,
            &session_,
            &moyens_.dialogue,
            &moyens_.lanceur,
            [this](const std::function<void()>& commande) { executer(commande); },
            [this](const DemandeFichier& demande, bool enregistrer) {
                return choisir(demande, enregistrer);
            },
            [this] { lister(); }};
}

std::optional<std::string> FenetrePrincipale::choisir(const DemandeFichier& demande,
                                                      bool enregistrer) {
    const auto& choix = enregistrer ? moyens_.enregistrer_fichier : moyens_.ouvrir_fichier;
    if (choix) return choix(demande);
    QFileDialog boite(this, qt(demande.titre), qt(demande.dossier), filtre_qt(demande.filtre));
    boite.setAcceptMode(enregistrer ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    boite.setFileMode(enregistrer ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!demande.nom.empty() && demande.nom != "*.dsc") boite.selectFile(qt(demande.nom));
    if (boite.exec() != QDialog::Accepted || boite.selectedFiles().isEmpty()) return std::nullopt;
    return cp(boite.selectedFiles().front());
}

void FenetrePrincipale::executer(const std::function<void()>& commande) {
    if (occupe_) return;
    occupe_ = true;
    ecran_vers_session();
    const std::string description_avant = session_.chemin_description_courante();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        commande();
    } catch (const std::exception& e) {
        moyens_.dialogue.message(IdMessage::erreur_entree_sortie, texte_exception(e),
                                 TypeMessage::erreur);
    }
    QApplication::restoreOverrideCursor();
    occupe_ = false;
    // The graph window keeps the chart selection it was opened with and writes it back at
    // each activation: it must not write it into another description.
    if (session_.chemin_description_courante() != description_avant) graphique_->hide();
    session_vers_ecran();
    apres_commande();
}

void FenetrePrincipale::ecran_vers_session() {
    liaison_.enregistrer(session_.description);
    periode_->enregistrer(session_.parametres_grille, session_.SpinEdit_decalage_jour);
    session_.arret_pc.demande = c_.arret_pc->isChecked();
}

void FenetrePrincipale::session_vers_ecran() {
    liaison_.charger(session_.description);
    periode_->charger(session_.parametres_grille, session_.SpinEdit_decalage_jour);
    rafraichir();
}

void FenetrePrincipale::rafraichir() {
    const Session& s = session_;
    description_->rafraichir(s);
    valeurs_->rafraichir(s);
    listage_->rafraichir(s);
    sortie_->rafraichir(s);
    periode_->rafraichir(s);
    execution_->rafraichir(s);
    suivi_->rafraichir(s);
    // Any read of a description may change the input mode its mask selects.
    mode_.afficher(s.source.mode);
    graphique_->setWindowTitle(qt(s.titre_graphique));
    // Grey levels are fixed: the colour choosers serve colour mode only.
    for (QWidget* choisisseur : choisisseurs_couleur_)
        choisisseur->setEnabled(s.description.RadioGroup_coul_nb == 0);
    repeindre_si_change(this, s);
    if (auto* panneau = execution_->compte_a_rebours(); s.arret_pc.compte_a_rebours_visible) {
        const QWidget* table = c_.table;
        panneau->move(table->mapToGlobal(table->rect().center()) - panneau->rect().center());
        panneau->raise();
    }
    // The description directory is shown as the session names it, placeholder included.
    textes_.rafraichir(s);
    const std::string legende = nom_description_absent(s.Label_description_bd)
                                    ? chemin_programme_ + std::string(20, ' ') + s.titre_programme
                                    : s.Label_description_bd + "         >  " + s.titre_programme;
    setWindowTitle(qt(legende));
}

void FenetrePrincipale::placer_suivi() {
    suivi_->setFixedHeight(grande_suivi_ ? centralWidget()->height() * 45 / 100 : 150);
}

// Zones 3, 4 and 5 share one row on a wide screen; on a narrower one zone 3 takes a row
// of its own above the other two, so that nothing needs a sideways scroll.
void FenetrePrincipale::disposer_bas(bool sur_une_ligne) {
    if (!bas_->isEmpty() && sur_une_ligne == bas_sur_une_ligne_) return;
    bas_sur_une_ligne_ = sur_une_ligne;
    for (QWidget* z : {zone3_, zone4_, zone5_}) bas_->removeWidget(z);
    if (sur_une_ligne) {
        bas_->addWidget(zone3_, 0, 0);
        bas_->addWidget(zone4_, 0, 1);
        bas_->addWidget(zone5_, 0, 2);
    } else {
        bas_->addWidget(zone3_, 0, 0, 1, 2);
        bas_->addWidget(zone4_, 1, 0);
        bas_->addWidget(zone5_, 1, 1);
    }
}

void FenetrePrincipale::resizeEvent(QResizeEvent* evenement) {
    QMainWindow::resizeEvent(evenement);
    const int besoin = zone3_->minimumSizeHint().width() + zone4_->minimumSizeHint().width() +
                       zone5_->minimumSizeHint().width() + 40;
    disposer_bas(centralWidget()->width() >= besoin);
    placer_suivi();
}

void FenetrePrincipale::apres_commande() {
    const ChoixRepertoireDemande demande = session_.choix_repertoire;
    if (demande == ChoixRepertoireDemande::aucun) return;
    session_.choix_repertoire = ChoixRepertoireDemande::aucun;
    repertoires_->ouvrir(demande);
}

void FenetrePrincipale::demarrer() {
    executer([this] { session_.premiere_activation(); });
}

void FenetrePrincipale::lister() {
    executer([this] {
        moyens_.progression.remettre_a_zero();
        session_.lister_fichiers();
    });
}

void FenetrePrincipale::creer_grille() {
    executer([this] {
        colorer_legende(c_.creer_grille, couleur_rouge);
        session_.creer_grille();
        legende_normale(c_.creer_grille);
    });
}

void FenetrePrincipale::traiter() {
    executer([this] {
        Session& s = session_;
        colorer_legende(c_.creer_grille, couleur_bleue);
        colorer_legende(c_.traiter, couleur_rouge);
        for (QWidget* w : c_.pendant_le_traitement) w->setEnabled(false);
        execution_->traitement_lance(true);
        execution_->rafraichir(s);
        // The charts must not read the step table while the run refills it.
        c_.graphique->setEnabled(false);
        graphique_->geler(true);
        const auto debut = std::chrono::steady_clock::now();
        const FinTraitement fin = s.traiter();
        execution_->traitement_lance(false);
        graphique_->geler(false);
        for (QWidget* w : c_.pendant_le_traitement) w->setEnabled(true);
        colorer_legende(c_.traiter, couleur_pourpre);
        s.traitement_en_cours = false;
        if (fin != FinTraitement::termine) return;
        const double secondes =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
        if (secondes > 60 && !s.arret_pc.demande) s.jouer_son_de_fin(moyens_.audio, std::cout);
        QElapsedTimer horloge;
        horloge.start();
        s.attendre_arret_pc([&] { return horloge.elapsed() / 1000.0; },
                            [&](int ms) {
                                execution_->rafraichir(s);
                                QElapsedTimer attente;
                                attente.start();
                                while (attente.elapsed() < ms && !s.arret_pc.annule) {
                                    QApplication::processEvents(QEventLoop::AllEvents, 20);
                                    QThread::msleep(10);
                                }
                            });
    });
}

void FenetrePrincipale::ouvrir_resultat_dans_editeur() {
    const Session& s = session_;
    if (s.fichier_resultat.empty()) return;
    moyens_.lanceur.ouvrir_dans_editeur(s.fichier_resultat);
}

void FenetrePrincipale::quitter() {
    executer([this] {
        if (session_.quitter()) quitte_ = true;
    });
    if (!quitte_) return;
    // The graph window is a window of its own: left open, it would keep the program running.
    graphique_->close();
    close();
}

void FenetrePrincipale::mousePressEvent(QMouseEvent* evenement) {
    description_->rafraichir(session_);
    QMainWindow::mousePressEvent(evenement);
}

void FenetrePrincipale::leaveEvent(QEvent* evenement) {
    const QPoint ici = QCursor::pos();
    c_.pointeur_x->setText(QString::number(ici.x()));
    c_.pointeur_y->setText(QString::number(ici.y()));
    QMainWindow::leaveEvent(evenement);
}

void FenetrePrincipale::keyPressEvent(QKeyEvent* evenement) {
    session_.arret_pc.annule = true;
    // On the press only: the release of an Escape that closed a box comes here once the box
    // is gone, and would ask again.
    if (evenement->key() == Qt::Key_Escape && !evenement->isAutoRepeat() && !occupe_) {
        // An open chooser is what Escape closes, wherever the focus was left.
        if (!repertoires_->fermer_par_echap()) quitter();
        return;
    }
    QMainWindow::keyPressEvent(evenement);
}

bool FenetrePrincipale::faire_defiler_la_page(QObject* objet, QWheelEvent* evenement) {
    const int delta = evenement->angleDelta().y();
    auto* w = qobject_cast<QWidget*>(objet);
    if (!w || delta == 0 || !defilement_->isAncestorOf(w)) return false;
    // A picker or a pick list without the focus would change a setting as the page goes by.
    for (QWidget* v = w; v && v != defilement_; v = v->parentWidget())
        if (qobject_cast<QAbstractSpinBox*>(v) || qobject_cast<QComboBox*>(v)) {
            if (v->hasFocus()) return false;
            std::unique_ptr<QEvent> copie(evenement->clone());
            QCoreApplication::sendEvent(defilement_->verticalScrollBar(), copie.get());
            return true;
        }
    QAbstractScrollArea* liste = nullptr;
    for (QWidget* v = w; v && !liste; v = v->parentWidget())
        liste = qobject_cast<QAbstractScrollArea*>(v);
    if (!liste || liste == defilement_) return false;
    const QScrollBar* barre = liste->verticalScrollBar();
    const bool peut_defiler = (delta > 0 && barre->value() > barre->minimum()) ||
                              (delta < 0 && barre->value() < barre->maximum());
    if (liste->hasFocus() && peut_defiler) return false;
    std::unique_ptr<QEvent> copie(evenement->clone());
    QCoreApplication::sendEvent(defilement_->verticalScrollBar(), copie.get());
    return true;
}

bool FenetrePrincipale::eventFilter(QObject* objet, QEvent* evenement) {
    if (evenement->type() == QEvent::Wheel &&
        faire_defiler_la_page(objet, static_cast<QWheelEvent*>(evenement)))
        return true;
    // Any key anywhere in the window cancels the end-of-run shutdown.
    if (evenement->type() == QEvent::KeyPress) {
        if (auto* w = qobject_cast<QWidget*>(objet); w && w->window() == this)
            session_.arret_pc.annule = true;
    }
    if (evenement->type() == QEvent::MouseButtonDblClick &&
        objet->objectName() == "Label_description_bd") {
        moyens_.lanceur.ouvrir_dans_editeur(session_.chemin_description_courante());
        return true;
    }
    // The floating help box takes its double clicks on its viewport.
    if (evenement->type() == QEvent::MouseButtonDblClick && objet->parent() &&
        objet->parent()->objectName() == "Memo3") {
        if (auto* w = qobject_cast<QWidget*>(objet); w && w->window() == this) {
            ouvrir_resultat_dans_editeur();
            return true;
        }
    }
    return QMainWindow::eventFilter(objet, evenement);
}

void FenetrePrincipale::closeEvent(QCloseEvent* evenement) {
    if (quitte_ || occupe_) {
        // A close request during a run waits for the run: the session would be torn down under
        // it. It is the stop button's question then.
        if (occupe_) {
            evenement->ignore();
            session_.demander_arret();
        } else {
            evenement->accept();
        }
        return;
    }
    // The close asked inside this event is ignored by Qt: the event itself carries the answer.
    quitter();
    evenement->setAccepted(quitte_);
}

}  // namespace tarvo
