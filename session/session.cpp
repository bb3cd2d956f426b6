#include "session/session.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <limits>
#include <numbers>
#include <ostream>
#include <random>

#include "description/analyse_exemplaire.h"
#include "description/classeur.h"
#include "description/cles_description.h"
#include "description/repertoires.h"
#include "engine/agregation.h"
#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/fichiers.h"
#include "formats/nombres.h"
#include "formats/provisoire.h"
#include "formats/texte.h"
#include "inventory/intitules.h"
#include "inventory/prelecture.h"
#include "output/enregistrement.h"
#include "output/formatage.h"
#include "output/nommage.h"
#include "plateforme/dialogue.h"
#include "plateforme/lanceur.h"
#include "plateforme/progression.h"
#include "plateforme/sortie_audio.h"
#include "session/exemplaire.h"
#include "session/messages.h"

namespace tarvo {

namespace {

// A command that meets an input/output failure shows it and leaves the session as it was
// at that point, instead of ending the program.
template <class Commande>
void proteger(Dialogue& dialogue, Commande&& commande) {
    try {
        commande();
    } catch (const ErreurFichier& e) {
        dialogue.message(IdMessage::erreur_entree_sortie, e.what(), TypeMessage::erreur);
    } catch (const std::filesystem::filesystem_error& e) {
        dialogue.message(IdMessage::erreur_entree_sortie, texte_exception(e), TypeMessage::erreur);
    }
}

}  // namespace

Session::Session(Dialogue& dialogue, Progression& progression, Lanceur& lanceur,
                 std::string_view dossier_programme)
    : Session(dialogue, progression, lanceur, sans_presse_papier_, dossier_programme) {}

Session::Session(Dialogue& dialogue, Progression& progression, Lanceur& lanceur,
                 PressePapier& presse_papier, std::string_view dossier_programme)
    : dialogue_(dialogue),
      progression_(progression),
      lanceur_(lanceur),
      presse_papier_(presse_papier),
      dossier_programme_(ajouter_antislash(dossier_programme)) {
    description = tarvo::description_par_defaut(contexte());
    Label_description_bd = fr(nom_description_vide);
    Label_rep_description = fr(repertoire_description_vide);
    titre_programme = fr("T a r v o  -  séries régulières de mesures d'enregistreurs v7.52");
    fichier_prm = tarvo::fichier_prm(dossier_programme_);
    fichier_2dt = tarvo::fichier_2dt(dossier_programme_);
    // Until a grid file says otherwise: today, one day, every quarter of an hour.
    const double jour = aujourdhui();
    parametres_grille.Label_temps_deb = date_heure_vers_texte(jour);
    parametres_grille.Label_temps_fin = date_heure_vers_texte(jour + 1);
    parametres_grille.TimePicker_pas = 15.0 / (24 * 60);
}

ContexteDescription Session::contexte() const {
    return {dossier_programme_, maintenant_local()};
}

void Session::lire_argument(const std::vector<std::string>& arguments) {
    fichier_argument.clear();
    dossier_argument.clear();
    if (arguments.empty()) return;
    std::string_view a = rogner(arguments.front());
    // A quoted argument keeps no quotes: with them the file would never be found.
    if (a.size() >= 2 && a.front() == '"' && a.back() == '"') a = rogner(a.substr(1, a.size() - 2));
    // Made absolute at once: the directories kept from it must not depend on where the
    // program was started.
    fichier_argument = a.empty() ? std::string() : chemin_absolu(a).value_or(std::string(a));
    dossier_argument = dossier_de_fichier(fichier_argument);
}

void Session::creation() {
    en_demarrage = true;
    proteger(dialogue_, [&] { parametres_prm = lire_fichier_prm(fichier_prm); });
    description.RadioGroup_coul_nb = parametres_prm.RadioGroup_coul_nb;
    source = {};
    f_modif = false;
    grille_modifiee = false;
    afficher_enregistrement();
}

// Kept whole: one start-up sequence whose questions depend on the candidate found so far.
void Session::premiere_activation() {
    if (!en_demarrage) return;
    appliquer_fichier_2dt();
    proteger(dialogue_, [&] { parametres_prm = lire_fichier_prm(fichier_prm); });
    std::string candidat =
        fichier_argument.empty() ? parametres_prm.derniere_description : fichier_argument;
    f_modif = false;
    afficher_enregistrement();
    source = {};
    table.vider();

    // The name kept may differ from the file's in the case of its extension only.
    if (!candidat.empty() && !existe(candidat) &&
        existe(chemin_description(dossier_de_fichier(candidat), nom_de_fichier(candidat))))
        candidat = chemin_description(dossier_de_fichier(candidat), nom_de_fichier(candidat));
    if (!candidat.empty() && !existe(candidat)) {
        dialogue_.message(IdMessage::derniere_description_absente,
                          "Le fichier <" + candidat + ">" + "\n" + " n'existe pas ",
                          TypeMessage::information);
        candidat.clear();
    }
    if (!candidat.empty() && candidat != fr(nom_description_vide)) {
        const std::string dossier = dossier_de_fichier(candidat);
        dossier_derniere_description = dossier;
        const bool utiliser =
            !fichier_argument.empty() ||
            dialogue_.question(
                IdMessage::utiliser_derniere_description,
                "____________________________________ T a r v o\n\ndans => " + dossier + "\n\n\n" +
                    fr("utiliser la dernière description utilisée ?                     \n\n") +
                    nom_de_fichier(candidat) + "\n",
                TypeMessage::confirmation, Boutons::oui_non) == Reponse::oui;
        if (utiliser) {
            description.dossier_description = dossier;
            Label_rep_description = dossier;
            Label_description_bd = nom_de_fichier(candidat);
            charger_description();
            if (!fichier_argument.empty()) {
                // An example installed on one drive and opened from another: offer to move
                // its data and output directories to the drive it was opened from.
                const std::string lecteur = lecteur_de(candidat);
                const auto apres_lecteur = [](std::string_view c) {
                    return c.substr(std::min(lecteur_de(c).size(), c.size()));
                };
                const bool exemple =
                    apres_lecteur(description.dossier_choisi)
                        .starts_with(fr("/TARVO/Bases de données (exemple)/")) &&
                    apres_lecteur(description.dossier_description)
                        .starts_with("/TARVO/Descriptions-BD/") &&
                    apres_lecteur(description.dossier_choisi_sortie) == "/TARVO/EXPORT/";
                const bool autre_lecteur = lecteur_de(description.dossier_choisi) != lecteur ||
                                           lecteur_de(description.dossier_description) != lecteur ||
                                           lecteur_de(description.dossier_choisi_sortie) != lecteur;
                if (exemple && autre_lecteur &&
                    dialogue_.question(
                        IdMessage::verifier_lecteur_repertoires,
                        fr(" Vérifier le lecteur des 3 répertoires \n\n") +
                            description.dossier_choisi + "\n\n" + description.dossier_description +
                            "\n\n" + description.dossier_choisi_sortie + "\n\n" +
                            " Remplacer tous les lecteurs par " + lecteur + "  ?" + "\n\n",
                        TypeMessage::confirmation, Boutons::oui_non) == Reponse::oui) {
                    description.dossier_choisi =
                        lecteur + std::string(apres_lecteur(description.dossier_choisi));
                    description.dossier_choisi_sortie =
                        lecteur + std::string(apres_lecteur(description.dossier_choisi_sortie));
                }
                description.dossier_description = dossier;
                Label_rep_description = dossier;
            }
            // The description keeps the period it was last processed for; the grid file
            // gives the one of the last run only to a description that holds none.
            periode_de_la_description();
        }
    }

    journal.vider();
    journal.ajouter_suivi(titre_programme);
    journal.ajouter_suivi("");
    journal.ajouter_suivi(fr("conversion de fichiers d'enregistreurs en séries régulières"));
    // Numbers are read and written the same way whatever the machine's regional settings.
    journal.ajouter_suivi("ORDINATEUR  DecimalSeparator  .   point");
    inventaire.ListBox_fic_coche.clear();
    f_modif = false;
    afficher_enregistrement();
}

bool Session::lire_ecrire_description(SensDescription sens) {
    const bool ecrire = sens == SensDescription::ecrire;
    if (ecrire && lecture_seule) return false;
    bool fait = false;
    proteger(dialogue_, [&] {
        if (ecrire) {
            const auto r = ecrire_description(description.dossier_description, Label_description_bd,
                                              description);
            if (r.etat == ResultatEcritureDescription::Etat::sans_nom) return;
            if (r.etat == ResultatEcritureDescription::Etat::echec) {
                dialogue_.message(IdMessage::erreur_ecriture_description, r.message,
                                  TypeMessage::erreur);
                return;
            }
            if (grille_modifiee) {
                ecrire_fichier_2dt(fichier_2dt, grille_vers_2dt());
                grille_modifiee = false;
            }
            if (f_modif)
                ecrire_prm_apres_description(
                    fichier_prm, description.dossier_description + Label_description_bd,
                    description.RadioGroup_coul_nb, parametres_prm.couleurs);
        } else {
            using Etat = ResultatLectureDescription::Etat;
            const auto r = lire_description(description.dossier_description, Label_description_bd,
                                            description, contexte(), journal);
            lecture_interrompue_ = r.etat == Etat::interrompue;
            if (r.etat == Etat::sans_nom) return;
            if (r.etat != Etat::lue) {
                dialogue_.message(
                    IdMessage::erreur_lecture_description, r.message,
                    r.etat == Etat::introuvable ? TypeMessage::information : TypeMessage::erreur);
                return;
            }
            // The batch program's options name the directories, and it checks them itself.
            if (!lecture_seule) {
                const auto verification = verifier_repertoires_apres_lecture(
                    {description.dossier_choisi, description.dossier_description,
                     description.dossier_choisi_sortie},
                    r.chemin, dossier_argument, dialogue_);
                if (verification.suite == SuiteVerification::abandon) return;
                description.dossier_choisi = verification.repertoires.dossier_choisi;
                description.dossier_description = verification.repertoires.dossier_description;
                description.dossier_choisi_sortie = verification.repertoires.dossier_choisi_sortie;
            }
        }
        f_modif = false;
        afficher_enregistrement();
        if (!ecrire) apres_lecture();
        inventaire.affichage.legende_SpeedButton_lister =
            legende_bouton_lister(source.mode, description.Edit_masque);
        fait = true;
    });
    return fait;
}

void Session::periode_de_la_description() {
    const auto periode = periode_de_description(description);
    if (!periode) return;
    parametres_grille = *periode;
    parametres_grille_modifies();
}

void Session::apres_lecture() {
    inventaire.colonnes.Edit_intitule_origine.clear();
    source.mode = mode_depuis_masque(description.Edit_masque);
    source.copie = dossier_programme_ +
                   (source.mode == ModeEntree::classeur ? "~tmp_xls.csv" : "~presse-papier.ppp");
    // A clipboard description describes whatever the clipboard holds now.
    if (source.mode == ModeEntree::presse_papier) importer_presse_papier();
    if (source.mode == ModeEntree::fichiers) {
        const auto compte = compter_fichiers(description);
        inventaire.affichage.nb_fichiers_listes = std::to_string(compte.nb);
        inventaire.affichage.Label_nom_de_fichier = compte.premier;
    }
}

void Session::charger_description() {
    table.vider();
    lire_ecrire_description(SensDescription::lire);
    Label_rep_description = description.dossier_description;
    choix_repertoire = ChoixRepertoireDemande::aucun;
    if (!existe(description.dossier_choisi))
        choix_repertoire = ChoixRepertoireDemande::donnees;
    else if (!existe(description.dossier_choisi_sortie))
        choix_repertoire = ChoixRepertoireDemande::sortie;
}

void Session::choisir_description(std::optional<std::string> chemin) {
    if (!chemin) return;
    if (lecture_seule) {
        description.dossier_description = dossier_de_fichier(*chemin);
        Label_rep_description = description.dossier_description;
        Label_description_bd = nom_de_fichier(*chemin);
        charger_description();
        return;
    }
    if (!enregistrer_avant_remplacement()) return;
    const std::string dossier = dossier_de_fichier(*chemin), nom = nom_de_fichier(*chemin);
    f_modif = true;
    afficher_enregistrement();
    oublier_description_precedente();
    description.dossier_description = dossier;
    Label_rep_description = dossier;
    Label_description_bd = nom;
    const bool lue = lire_ecrire_description(SensDescription::lire);
    // The file may name another directory than the one it lies in: it is rewritten with
    // its real place.
    description.dossier_description = dossier;
    Label_description_bd = nom;
    // Rewriting a file whose read stopped at a bad key would replace the keys after it
    // with whatever the previous description held.
    if (lecture_interrompue_) return;
    proteger(dialogue_, [&] {
        ecrire_fichier_une_ligne(dossier + nom, fichier_prm);
        if (const auto message = ecrire_ligne_parametre("0", fichier_prm, 6); !message.empty())
            dialogue_.message(IdMessage::erreur_fichier_parametres, message, TypeMessage::erreur);
    });
    lire_ecrire_description(SensDescription::ecrire);
    charger_description();
    if (lue) periode_de_la_description();
}

bool Session::enregistrer_avant_remplacement() {
    if (!f_modif) return true;
    const Reponse r =
        dialogue_.question(IdMessage::enregistrer_modifications_description,
                           fr(" Enregistrer les modifications de la description de données  ") +
                               Label_description_bd + " ?",
                           TypeMessage::confirmation, Boutons::oui_non_annuler);
    if (r != Reponse::oui) return r == Reponse::non;
    if (nom_description_absent(Label_description_bd)) {
        enregistrer_description_sous(choisir_nom_description ? choisir_nom_description()
                                                             : std::nullopt);
        return !f_modif;
    }
    return lire_ecrire_description(SensDescription::ecrire);
}

void Session::enregistrer_description() {
    if (Label_rep_description == fr(repertoire_description_vide) ||
        description.dossier_description.empty()) {
        dialogue_.message(IdMessage::nouvelle_description_sans_dossier,
                          texte_nouvelle_description_sans_dossier(), TypeMessage::confirmation);
        f_modif = false;
        choix_repertoire = ChoixRepertoireDemande::description;
        return;
    }
    if (nom_description_absent(Label_description_bd)) {
        enregistrer_description_sous(choisir_nom_description ? choisir_nom_description()
                                                             : std::nullopt);
        return;
    }
    const std::string prompt = f_modif
                                   ? " Enregistrer les modifications de la description de données  "
                                   : " Enregistrer la description de données  ";
    const Reponse r = dialogue_.question(IdMessage::enregistrer_description,
                                         fr(prompt) + "  " + Label_description_bd + "\n\n" +
                                             fr(" dans le répertoire ") +
                                             description.dossier_description + "   ?   \n\n",
                                         TypeMessage::confirmation, Boutons::oui_non_annuler);
    if (r == Reponse::oui) {
        if (description.RadioGroup_avec_sans_intitule_ItemIndex == Intitules::sans)
            description.Edit_num_ligne_intitule_col = "0";
        else if (description.RadioGroup_avec_sans_intitule_ItemIndex == Intitules::avec &&
                 rogner(description.Edit_num_ligne_intitule_col) == "0")
            description.Edit_num_ligne_intitule_col = "1";
        f_modif = true;
        lire_ecrire_description(SensDescription::ecrire);
    } else if (r == Reponse::non) {
        f_modif = false;
        afficher_enregistrement();
    }
}

void Session::enregistrer_description_sous(std::optional<std::string> chemin, bool depuis_nouveau) {
    const std::string garde = Label_description_bd;
    if (!chemin) {
        Label_description_bd = depuis_nouveau ? garde : Label_description_bd;
        return;
    }
    std::string nom = nom_de_fichier(*chemin);
    description.dossier_description = dossier_de_fichier(*chemin);
    Label_rep_description = description.dossier_description;
    if (!contient(majuscules(nom), ".DSC")) nom += ".dsc";
    description.Edit_nom_fic_sortie =
        nom_sortie_apres_renommage(description.Edit_nom_fic_sortie, garde, nom);
    Label_description_bd = nom;
    if (description.Edit_masque != "ppp")
        proteger(dialogue_, [&] {
            ecrire_fichier_une_ligne(description.dossier_description + nom, fichier_prm);
        });
    f_modif = true;
    afficher_enregistrement();
    lire_ecrire_description(SensDescription::ecrire);
    charger_description();
}

void Session::nouvelle_description(const std::function<std::optional<std::string>()>& choisir) {
    if (dialogue_.question(IdMessage::nouvelle_description, texte_nouvelle_description(),
                           TypeMessage::confirmation, Boutons::oui_non_annuler) != Reponse::oui)
        return;
    const Description ancienne = description;
    std::error_code ignore;
    std::filesystem::remove(chemin_natif(fichier_prm), ignore);
    Label_description_bd.clear();
    description = description_par_defaut();
    description.dossier_choisi = ancienne.dossier_choisi;
    description.dossier_description = ancienne.dossier_description;
    description.dossier_choisi_sortie = ancienne.dossier_choisi_sortie;
    oublier_description_precedente();
    // The defaults are shown as a description read: their mask sets the input mode.
    apres_lecture();
    inventaire.affichage.legende_SpeedButton_lister =
        legende_bouton_lister(source.mode, description.Edit_masque);
    // Without a name nothing is written: the defaults never land in the previous file.
    if (const auto chemin = choisir()) enregistrer_description_sous(chemin, true);
    dialogue_.message(IdMessage::choisir_repertoire_donnees, texte_choisir_repertoire_donnees(),
                      TypeMessage::information);
    choix_repertoire = ChoixRepertoireDemande::donnees;
}

std::string Session::chemin_description_courante() const {
    return chemin_description(description.dossier_description, Label_description_bd);
}

namespace {
constexpr std::string_view filtre_descriptions =
    "Fichiers descriptifs (*.dsc)|*.dsc|Tous les fichiers (*.*)|*.*";
}  // namespace

DemandeFichier Session::demande_choix_description() const {
    const std::string chemin = chemin_description_courante();
    return {fr("choix de la description des données : ") + description.dossier_description,
            description.dossier_description.empty() ? dossier_derniere_description
                                                    : description.dossier_description,
            std::string(filtre_descriptions),
            !nom_description_absent(Label_description_bd) && existe(chemin) ? chemin : "*.dsc"};
}

DemandeFichier Session::demande_enregistrer_sous(bool depuis_nouveau) const {
    DemandeFichier d{depuis_nouveau ? fr("Nom de la nouvelle description des données à créer")
                                    : fr("enregistrement  de la description des données"),
                     description.dossier_description, std::string(filtre_descriptions),
                     depuis_nouveau ? Label_description_bd
                                    : nom_description_propose(Label_description_bd, description)};
    if (description.Edit_masque == "ppp") d.nom = "ppp.dsc";
    return d;
}

DemandeFichier Session::demande_repertoire_sortie() const {
    return {fr(" contenue du répertoire de sortie "), description.dossier_choisi_sortie,
            "Tous les fichiers (*.*)|*.*", ""};
}

void Session::marquer_modifie() {
    f_modif = true;
    afficher_enregistrement();
}

Description Session::description_par_defaut() const {
    return tarvo::description_par_defaut(contexte());
}

void Session::oublier_description_precedente() {
    table.vider();
    inventaire = {};
    etapes = {};
    extraction = {};
    listes = {};
    fichier_resultat.clear();
    dernier_enregistrement = {};
    texte_sans_coldate.clear();
}

namespace {
// Days elapsed since a steady-clock instant, for the stage stopwatches.
double jours_depuis(std::chrono::steady_clock::time_point debut) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count() /
           jour_en_secondes;
}
}  // namespace

ResultatListage Session::lister_fichiers() {
    const auto debut = std::chrono::steady_clock::now();
    ResultatListage r;
    proteger(dialogue_, [&] {
        ActionsEtape1 actions;
        actions.convertir_classeur = [this] {
            return convertir_excel(description.dossier_choisi + description.Label_nom_fic_excel);
        };
        actions.copier_presse_papier = [this] { importer_presse_papier(); };
        actions.enregistrer_description = [this] {
            lire_ecrire_description(SensDescription::ecrire);
        };
        r = lister_fichiers_table(description, source, f_modif, inventaire, table, lecteur, journal,
                                  dialogue_, progression_, lanceur_, actions);
        if (r.description_corrigee) description = r.description;
        if (r.f_modif) f_modif = *r.f_modif;
        afficher_enregistrement();
    });
    chrono_liste = jours_depuis(debut);
    return r;
}

bool Session::convertir_excel(std::string_view chemin_classeur) {
    const auto debut = std::chrono::steady_clock::now();
    demande_stop = false;
    source.copie = dossier_programme_ + "~tmp_xls.csv";
    AffichageListage& a = inventaire.affichage;
    a.avancement = " patienter, lecture Excel...";
    a.apercu.clear();
    inventaire.tampon_fichier_lu.vider();
    // A sheet number that is not a number, or below 1, reads the first sheet.
    const int numero =
        std::max(1, lire_entier(rogner(description.Edit_num_feuille_excel)).value_or(1));
    const ResultatConversion r = convertir_classeur(chemin_classeur, numero, source.copie);
    a.avancement = "durée " + duree_texte(jours_depuis(debut));
    if (!r.reussi) {
        dialogue_.message(IdMessage::erreur_classeur, r.erreur,
                          r.feuille_vide ? TypeMessage::information : TypeMessage::erreur);
        return false;
    }
    description.Label_nom_feuille = r.nom_feuille;
    description.Label_nom_fic_excel = nom_de_fichier(chemin_classeur);
    return true;
}

bool Session::importer_presse_papier() {
    const auto debut = std::chrono::steady_clock::now();
    AffichageListage& a = inventaire.affichage;
    a.avancement = "patience lecture presse-papier...";
    inventaire.tampon_fichier_lu.vider();
    bool vide = false;
    bool fait = false;
    presse_papier_.lire_texte_vers([&](std::string_view texte) {
        // decouper_lignes finds no line in a text that is empty, and only then.
        vide = texte.empty();
        if (vide) return;
        proteger(dialogue_, [&] {
            // Saved as the memo saves its lines, then tabulations become the ";" the reader
            // splits on; written a piece at a time, as a line index of a long paste would dwarf
            // the text.
            const std::string tmp = dossier_programme_ + "~tmp.txt";
            ecrire_fichier_atomique(tmp, [&](const EcrireMorceau& ecrire) {
                std::string morceau;
                pour_chaque_ligne(texte, [&](std::string_view ligne) {
                    (morceau += ligne) += "\r\n";
                    if (morceau.size() < (std::size_t{1} << 20)) return;
                    ecrire(morceau);
                    morceau.clear();
                });
                ecrire(morceau);
            });
            source.copie = dossier_programme_ + "~presse-papier.ppp";
            copier_en_remplacant(tmp, '\t', source.copie, ';', journal, dialogue_);
            fait = true;
        });
    });
    if (vide) {
        dialogue_.message(IdMessage::presse_papier_vide, texte_presse_papier_vide(),
                          TypeMessage::information);
        return false;
    }
    description.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
    if (description.Edit_masque != "ppp") description.Edit_masque = "ppp";
    source.mode = mode_depuis_masque(description.Edit_masque);
    afficher_enregistrement();
    a.avancement = "lecture en " + duree_texte(jours_depuis(debut));
    return fait;
}

bool Session::quitter() {
    if (source.mode == ModeEntree::presse_papier && !contient(Label_description_bd, "(ppp")) {
        const std::string propose = nom_description_propose(Label_description_bd, description);
        const Reponse r = dialogue_.question(
            IdMessage::description_presse_papier_avant_quitter,
            "avant de quitter, enregistrer une description propre au Presse-Papier ?\n\n (Non) "
            "actuelle : " +
                Label_description_bd + "\n\n" + fr(" (Oui) proposée : ") + propose + "\n\n" +
                "  (Annuler)  = retour",
            TypeMessage::confirmation, Boutons::oui_non_annuler);
        if (r == Reponse::annuler) return false;
        if (r == Reponse::oui) Label_description_bd = propose;
        f_modif = true;
    }
    // Escape then Enter must not quit by accident.
    if (dialogue_.question(IdMessage::quitter, texte_quitter(), TypeMessage::confirmation,
                           Boutons::oui_non, Reponse::non) != Reponse::oui)
        return false;
    if (f_modif) enregistrer_resultats();
    if (grille_modifiee && !lecture_seule)
        proteger(dialogue_, [&] { ecrire_fichier_2dt(fichier_2dt, grille_vers_2dt()); });
    lire_ecrire_description(SensDescription::ecrire);
    // Every exit remembers the description and the colours, changed or not: without the
    // file the next start would be a first start again.
    if (!lecture_seule)
        proteger(dialogue_, [&] {
            ecrire_prm_apres_description(fichier_prm,
                                         nom_description_absent(Label_description_bd)
                                             ? parametres_prm.derniere_description
                                             : chemin_description_courante(),
                                         description.RadioGroup_coul_nb, parametres_prm.couleurs);
        });
    for (const char* nom : {"~tmp_xls.csv", "~tmp.xls", "~tmp.txt", "~tmp0.txt", "~tmp1.txt",
                            "~presse-papier.ppp", "~résultats.txt"}) {
        std::error_code ignore;
        std::filesystem::remove(chemin_natif(dossier_programme_ + fr(nom)), ignore);
    }
    return true;
}

void Session::parametres_grille_modifies() {
    grille_modifiee = true;
    grille = {};
    const ResumeGrille resume = resume_grille(parametres_grille, journal);
    resume_grille_affiche.texte = resume.texte;
    resume_grille_affiche.couleur = resume.couleur;
}

void Session::lister_colonnes() {
    tarvo::lister_colonnes(description, inventaire.colonnes, static_cast<int>(grille.dates.size()),
                           legende_methode(description.RadioGroup_methode_ItemIndex), journal,
                           dialogue_);
}

const Grille& Session::creer_grille() {
    const auto debut = std::chrono::steady_clock::now();
    Grille g = creer_liste_horodatee(parametres_grille, dialogue_, progression_, journal);
    chrono_grille = jours_depuis(debut);
    if (g.parametres_modifies) grille_modifiee = true;
    if (g.liste_effacee) {
        grille = std::move(g);
        resume_grille_affiche.texte = grille.resume.texte;
        if (grille.etat == EtatGrille::construite) en_demarrage = false;
    }
    return grille;
}

bool Session::accepter_traitement() {
    if (table.nb_fichiers() < 1) {
        dialogue_.message(IdMessage::lister_d_abord, texte_lister_d_abord(),
                          TypeMessage::information);
        return false;
    }
    if (const std::string refus = refus_nom_resultat(); !refus.empty()) {
        dialogue_.message(IdMessage::nom_resultat_invalide, refus, TypeMessage::erreur);
        return false;
    }
    // A description edited by hand may hold any number here: none may run as another method.
    if (const int m = static_cast<int>(description.RadioGroup_methode_ItemIndex);
        m < static_cast<int>(Methode::moyenne) || m > static_cast<int>(Methode::cumul)) {
        dialogue_.message(
            IdMessage::methode_invalide,
            fr("La méthode de traitement <RadioGroup_methode_ItemIndex> de la description "
               "vaut ") +
                std::to_string(m) +
                fr(" :\n\n les valeurs permises vont de 0 à 5\n\n   corriger la "
                   "description avant de traiter"),
            TypeMessage::erreur);
        return false;
    }
    if (!minimum_valides(description.Edit_min_mesures_valides)) {
        // Digits beyond the largest count are a number all the same: said too large.
        std::string_view t = rogner(description.Edit_min_mesures_valides);
        if (t.starts_with('+')) t.remove_prefix(1);
        const bool trop_grand = !t.empty() && que_des_chiffres(t) != 0;
        dialogue_.message(
            IdMessage::minimum_valides_invalide,
            fr("Le minimum de mesures valides par pas <") +
                citer(description.Edit_min_mesures_valides) +
                (trop_grand ? fr("> est trop grand : ") +
                                  std::to_string(std::numeric_limits<int>::max()) + fr(" au plus")
                            : fr("> n'est pas un entier positif ou nul")) +
                fr("\n\n   corriger la description avant de traiter"),
            TypeMessage::erreur);
        return false;
    }
    const auto non = [&](IdMessage id, std::string_view texte) {
        return dialogue_.question(id, texte, TypeMessage::avertissement, Boutons::oui_non) ==
               Reponse::non;
    };
    if (grille.nb_lignes_grille > 32000 &&
        non(IdMessage::traitement_plus_de_32000_lignes, texte_traitement_plus_de_32000_lignes()))
        return false;
    const double decalage = decalage_jours(description, SpinEdit_decalage_jour);
    if (description.CheckBox_decalage_actif && decalage != 0 &&
        non(IdMessage::decalage_non_nul,
            fr("Le décalage des dates de mesure n'est pas nul\n\n   ") +
                (description.RadioButton_decalage_negatif ? "-" : "+") + " " +
                std::to_string(SpinEdit_decalage_jour) + " j " +
                ecrire_heure(description.TimePicker_decalage) + "\n\n" + "   continuer ? "))
        return false;
    const double derive =
        description.TimePicker_derive_reelle - description.TimePicker_derive_erronee;
    if (description.CheckBox_derive_active && derive != 0 &&
        non(IdMessage::derive_non_nulle,
            fr("La dérive des dates de mesure n'est pas nulle\n\n   ") +
                ecrire_heure(description.TimePicker_derive_erronee) + " => " +
                ecrire_heure(description.TimePicker_derive_reelle) + fr(" dérive = ") +
                (derive >= 0 ? "+" : "-") + ecrire_heure(std::fabs(derive)) + "\n\n" +
                "   continuer ? "))
        return false;
    if (description.CheckBox_cumul_corriger &&
        description.RadioGroup_methode_ItemIndex != Methode::max &&
        dialogue_.question(IdMessage::choisir_max_pour_cumuls, texte_choisir_max_pour_cumuls(),
                           TypeMessage::avertissement, Boutons::oui_non) == Reponse::oui)
        return false;
    // The list is cleaned as when its field is left: a description written by hand or run
    // in batch has never been through that field.
    if (description.CheckBox_col_cochee) quitter_champ(*this, dialogue_, "Edit_col_cochee", false);
    return true;
}

bool Session::accepter_periode() {
    // A result zone or a drift moves the times by up to a day or so: only a period clearly
    // apart from every file is questioned.
    const bool deplacees =
        !rogner(description.Edit_fuseau_resultat).empty() || description.CheckBox_derive_active;
    const double marge = deplacees ? 2.0 : 0.0;
    const double decalage = decalage_jours(description, SpinEdit_decalage_jour);
    const double debut = grille.dates.front() - marge;
    const double fin = std::max(grille.dates.back(), grille.date_suivante) + marge;
    double premiere = std::numeric_limits<double>::max();
    double derniere = std::numeric_limits<double>::lowest();
    std::string canonique;
    JournalSuivi ignore;
    for (const int i : table.lignes_a_traiter()) {
        const double dep =
            texte_vers_date_heure(table.lire_cellule(i, Colonne::date_dep), canonique, ignore);
        const double fin_fichier =
            texte_vers_date_heure(table.lire_cellule(i, Colonne::date_fin), canonique, ignore);
        // A file not pre-read may hold any date: nothing can be said.
        if (dep <= 0 || fin_fichier <= 0) return true;
        const double a = std::min(dep, fin_fichier) + decalage;
        const double b = std::max(dep, fin_fichier) + decalage;
        if (a <= fin && b >= debut) return true;
        premiere = std::min(premiere, a);
        derniere = std::max(derniere, b);
    }
    if (premiere > derniere) return true;
    return dialogue_.question(
               IdMessage::periode_hors_des_fichiers,
               fr(" la période ciblée ne rencontre les dates d'aucun fichier à traiter\n\n") +
                   fr("     période ciblée     : ") + parametres_grille.Label_temps_deb + " => " +
                   parametres_grille.Label_temps_fin + "\n" +
                   "     dates des fichiers : " + date_heure_vers_texte(premiere) + " => " +
                   date_heure_vers_texte(derniere) + "\n\n" +
                   fr(" le résultat ne contiendrait que des NA\n\n") + fr(" traiter quand même ?"),
               TypeMessage::avertissement, Boutons::oui_non, Reponse::non) == Reponse::oui;
}

std::string Session::refus_nom_resultat() const {
    return tarvo::refus_nom_resultat({description.Edit_nom_fic_sortie, description.CheckBox_inc_nom,
                                      description.dossier_choisi_sortie, 0,
                                      parametres_grille.Label_temps_deb,
                                      parametres_grille.Label_temps_fin, grille.nb_lignes_grille});
}

// Kept whole: each stage of the run needs the previous one to have succeeded, in order.
FinTraitement Session::traiter() {
    if (!accepter_traitement()) return FinTraitement::refuse;

    int nb_marques = 0;
    for (int i = 1; i < table.nb_lignes(); ++i) nb_marques += table.marquee(i);
    const int n = nb_marques > 0 ? nb_marques : table.nb_fichiers();
    std::string quoi = n == 1 ? "du seul fichier" : "des " + std::to_string(n) + " fichiers";
    if (nb_marques > 0) quoi += n > 1 ? fr(" cochés") : fr(" coché");
    journal.ajouter_suivi("");
    journal.ajouter_suivi(std::string(50, '='));
    journal.ajouter_suivi("       --> TRAITEMENT " + quoi);
    journal.ajouter_suivi(std::string(50, '='));
    heure_debut_traitement = maintenant_local();
    texte_sans_coldate.clear();
    traitement_en_cours = true;
    formatage_commence_ = false;
    interrompu_ = false;
    demande_stop = false;
    // Whatever its end, the next tracking file starts after this run.
    struct FinRun {
        JournalSuivi& journal;
        ~FinRun() { journal.terminer_run(); }
    } fin_run{journal};

    bool pret = true;
    proteger(dialogue_, [&] {
        if (inventaire.colonnes.nb_colonnes_donnees == 0) {
            // A correction accepted while listing ends that listing: the run lists again with
            // it and goes on, as the user asked for a run.
            for (int passe = 0; passe < 3; ++passe) {
                const auto r = lister(description, source, inventaire, table, lecteur, journal,
                                      dialogue_, progression_, lanceur_);
                if (r.description_corrigee) description = r.description;
                if (r.f_modif) f_modif = *r.f_modif;
                pret = r.fin == FinListage::complet;
                if (pret || !r.description_corrigee) break;
            }
        }
    });
    if (!pret) {
        traitement_en_cours = false;
        return FinTraitement::refuse;
    }
    if (grille.items.size() < 2) {
        grille = construire_grille(parametres_grille, dialogue_, progression_, journal);
        resume_grille_affiche.texte = grille.resume.texte;
        // A correction accepted there ("(inf strict)", the hours) is kept like any setting.
        if (grille.parametres_modifies) grille_modifiee = true;
        if (grille.etat != EtatGrille::construite) {
            traitement_en_cours = false;
            return FinTraitement::refuse;
        }
        en_demarrage = false;
    }
    if (!accepter_periode()) {
        traitement_en_cours = false;
        return FinTraitement::abandonne;
    }

    FinTraitement fin = FinTraitement::refuse;
    proteger(dialogue_, [&] {
        const ContexteExtraction contexte{description, parametres_grille,
                                          grille,      SpinEdit_decalage_jour,
                                          source,      false,
                                          table,       inventaire,
                                          lecteur,     journal,
                                          dialogue_,   progression_,
                                          lecture};
        extraction = extraire_mesures(contexte, etapes);
        if (extraction.fin == FinExtraction::abandonnee) fin = FinTraitement::abandonne;
        if (extraction.fin != FinExtraction::complete && extraction.fin != FinExtraction::arretee)
            return;
        // The description remembers the period it was last processed for: a new one is a
        // change, saved with the result.
        if (memoriser_periode(parametres_grille, description) && !lecture_seule) marquer_modifie();
        if (grille_modifiee && !lecture_seule) {
            ecrire_fichier_2dt(fichier_2dt, grille_vers_2dt());
            grille_modifiee = false;
        }
        agreger(etapes, description, pas_jours(parametres_grille), journal, progression_);
        // A stop keeps the rows formatted so far: they are saved, and said partial.
        formatage_commence_ = true;
        const bool formate =
            formater_resultats(etapes, grille.items, description, listes, progression_);
        interrompu_ = extraction.fin == FinExtraction::arretee || !formate;
        fin = enregistrer_resultats() ? FinTraitement::termine : FinTraitement::echec_ecriture;
    });
    traitement_en_cours = false;
    return fin;
}

void Session::sauver() {
    if (table.nb_lignes() <= 1 || (traitement_en_cours && !formatage_commence_)) {
        dialogue_.message(IdMessage::pas_de_donnees_a_enregistrer,
                          texte_pas_de_donnees_a_enregistrer(), TypeMessage::information);
        return;
    }
    if (enregistrer_resultats())
        dialogue_.message(IdMessage::donnees_enregistrees,
                          fr(" Données extraites enregistrées dans \n") + fichier_resultat,
                          TypeMessage::information);
}

bool Session::copier_sans_coldate() {
    const auto texte =
        copier_valeurs_seules(listes, dossier_programme_, source.mode == ModeEntree::presse_papier,
                              presse_papier_, dialogue_);
    if (!texte) return false;
    texte_sans_coldate = *texte;
    return true;
}

std::string texte_date_programme(std::string_view chemin_programme) {
    std::error_code erreur;
    const auto ecriture = std::filesystem::last_write_time(chemin_natif(chemin_programme), erreur);
    if (erreur) return "Erreur lors de l'ouverture du fichier.";
    const auto systeme = std::chrono::file_clock::to_sys(ecriture);
    const std::time_t t = std::chrono::system_clock::to_time_t(systeme);
    std::tm local{};
    localtime_r(&t, &local);
    std::array<char, 64> r{};
    std::snprintf(r.data(), r.size(), "date EXE %.2d/%.2d/%.4d %.2d:%.2d:%.2d", local.tm_mday,
                  local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min,
                  local.tm_sec);
    return r.data();
}

// Kept whole: one context of some twenty fields handed over, then the state it changes.
bool Session::enregistrer_resultats() {
    if (!traitement_en_cours) {
        // No run waiting to be saved: only the description is.
        if (Label_description_bd.starts_with("Temporaire") &&
            dialogue_.question(IdMessage::description_temporaire,
                               " Le fichier  " + Label_description_bd + " est temporaire" + "\n\n" +
                                   fr(" L'enregistrer avec un nom finalisé ?"),
                               TypeMessage::confirmation, Boutons::oui_non) == Reponse::oui)
            enregistrer_description_sous(choisir_nom_description ? choisir_nom_description()
                                                                 : std::nullopt);
        lire_ecrire_description(SensDescription::ecrire);
        return true;
    }
    // The station of the last file read, as the summary names it.
    const std::vector<int> lues = table.lignes_a_traiter();
    const std::string station =
        lues.empty() ? std::string() : table.lire_cellule(lues.back(), Colonne::station);
    ContexteEnregistrement contexte{
        .description = description,
        .f_modif = f_modif,
        .listes = listes,
        .etapes = etapes,
        .table = table,
        .parametres_grille = parametres_grille,
        .journal = journal,
        .dialogue = dialogue_,
        .progression = progression_,
        .presse_papier = presse_papier_,
        .choisir_fichier = choisir_fichier_sortie,
        .enregistrer_description =
            [this] {
                const bool ecrite = lire_ecrire_description(SensDescription::ecrire);
                if (!ecrite) f_modif = false;
                return ecrite;
            },
        .Label_description_bd = Label_description_bd,
        .Label_nr_final = grille.Label_nr_final,
        .Label_nlig_impliquee = extraction.Label_nlig_impliquee,
        .SpinEdit_decalage_jour = SpinEdit_decalage_jour,
        .station = station,
        .nb_dates_inversees = lecteur.nb_dates_inversees,
        .nb_lignes_lues = extraction.nb_lignes_extraites,
        .interrompu = interrompu_,
        .fichiers = extraction.fichiers,
        .nb_lignes_rejetees = extraction.nb_lignes_rejetees,
        .premiere_ligne_rejetee = extraction.premiere_ligne_rejetee,
        .Label_date_heure_min = extraction.Label_date_heure_min,
        .Label_date_heure_max = extraction.Label_date_heure_max,
        .mode_presse_papier = source.mode == ModeEntree::presse_papier,
        .arret_pc_demande = arret_pc.demande,
        .lot = lecture_seule,
        .chrono_liste = chrono_liste,
        .chrono_grille = chrono_grille,
        .heure_debut_traitement = heure_debut_traitement,
        .maintenant = maintenant_local(),
    };
    ResultatEnregistrement r;
    proteger(dialogue_, [&] { r = tarvo::enregistrer_resultats(contexte); });
    fichier_resultat = r.reussi() ? r.chemin : std::string();
    // Moved, not copied: it holds the whole result text.
    dernier_enregistrement = std::move(r);
    return dernier_enregistrement.reussi();
}

void Session::demander_arret() {
    if (!traitement_en_cours) return;
    if (table.nb_fichiers() < 1 && source.mode != ModeEntree::classeur) return;
    if (dialogue_.question(IdMessage::stopper_traitement, texte_stopper_traitement(),
                           TypeMessage::confirmation, Boutons::oui_non) == Reponse::oui)
        demande_stop = true;
}

bool Session::attendre_arret_pc(const std::function<double()>& horloge,
                                const std::function<void(int)>& dormir) {
    if (!arret_pc.demande) return false;
    arret_pc.compte_a_rebours_visible = true;
    arret_pc.annule = false;
    dormir(500);
    const double debut = horloge();
    for (double ecoule = 0; ecoule < 300 && !arret_pc.annule; ecoule = horloge() - debut) {
        std::array<char, 32> texte{};
        std::snprintf(texte.data(), texte.size(), "%8.2f mn", 5 - ecoule / 60);
        arret_pc.compte_a_rebours = texte.data();
        progression_.traiter_evenements();
        if (!arret_pc.annule) dormir(200);
    }
    arret_pc.compte_a_rebours_visible = false;
    if (arret_pc.annule) return false;
    lanceur_.eteindre_machine(fr("L'ordinateur va s'arrêter dans une minute..."));
    return true;
}

void Session::jouer_son_de_fin(SortieAudio& sortie, std::ostream& messages) {
    constexpr int frequence = 44100;
    std::mt19937 alea(
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<int> hauteur(120, 5119), duree(20, 99);
    std::vector<std::int32_t> echantillons;
    for (int note = 0; note < 9; ++note) {
        const int f = hauteur(alea);
        const auto n = std::lround(duree(alea) / 1000.0 * frequence);
        for (long i = 0; i < n; ++i)
            echantillons.push_back(static_cast<std::int32_t>(std::lround(
                std::sin(2 * std::numbers::pi * f * static_cast<double>(i) / frequence) * 0.5 *
                2147483647.0)));
    }
    if (echantillons.empty()) {
        messages << "Error: No audio has been created yet.\n";
        return;
    }
    if (!sortie.jouer(echantillons, frequence)) messages << "SortieAudio: lecture impossible\n";
}

void Session::afficher_enregistrement() {
    couleurs_enregistrement = af_coul_si_f_modif(f_modif, Label_rep_description);
}

ParametresGrille2dt Session::grille_vers_2dt() const {
    ParametresGrille2dt p;
    p.Label_temps_deb = parametres_grille.Label_temps_deb;
    p.Label_temps_fin = parametres_grille.Label_temps_fin;
    p.TimePicker_pas = ecrire_heure(parametres_grille.TimePicker_pas);
    p.resume_grille = resume_grille_affiche.texte;
    p.SpinEdit_pas_jour_mois_annee = parametres_grille.SpinEdit_pas_jour_mois_annee;
    p.test_strict = parametres_grille.test_strict;
    p.unite_pas = parametres_grille.unite_pas;
    return p;
}

void Session::appliquer_fichier_2dt() {
    proteger(dialogue_, [&] {
        const auto p = lire_fichier_2dt(fichier_2dt, grille_vers_2dt());
        parametres_grille.Label_temps_deb = p.Label_temps_deb;
        parametres_grille.Label_temps_fin = p.Label_temps_fin;
        parametres_grille.TimePicker_pas = lire_heure(p.TimePicker_pas, journal);
        resume_grille_affiche.texte = p.resume_grille;
        parametres_grille.SpinEdit_pas_jour_mois_annee = p.SpinEdit_pas_jour_mois_annee;
        parametres_grille.test_strict = p.test_strict;
        parametres_grille.unite_pas = p.unite_pas;
    });
}

}  // namespace tarvo
