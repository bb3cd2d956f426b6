#include "session/choix_repertoire.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "description/fichier_description.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/texte.h"
#include "inventory/listing.h"
#include "plateforme/dialogue.h"
#include "plateforme/lanceur.h"
#include "session/messages.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

std::string_view vide(ChoixRepertoireDemande quel) {
    switch (quel) {
        case ChoixRepertoireDemande::description:
            return repertoire_description_vide;
        case ChoixRepertoireDemande::sortie:
            return repertoire_sortie_vide;
        case ChoixRepertoireDemande::donnees:
        case ChoixRepertoireDemande::aucun:
            break;
    }
    return repertoire_donnees_vide;
}

// A lost directory still opens the list somewhere the user knows: its closest existing parent.
std::optional<std::string> parent_existant(std::string_view chemin) {
    fs::path p = chemin_natif(chemin);
    while (!p.empty()) {
        std::error_code ignore;
        if (fs::is_directory(p, ignore)) return ajouter_antislash(utf8_vers_cp1252(p.string()));
        if (p == p.parent_path()) break;
        p = p.parent_path();
    }
    return std::nullopt;
}

// The first file of a directory by upper-cased name; hidden and work files are not data.
std::optional<std::string> premier_fichier(std::string_view dossier) {
    std::optional<std::pair<std::string, std::string>> premier;  // upper-cased name, name
    std::error_code erreur;
    for (fs::directory_iterator it(chemin_natif(ajouter_antislash(dossier)), erreur), fin;
         !erreur && it != fin; it.increment(erreur)) {
        const auto nom = utf8_vers_cp1252_exact(it->path().filename().string());
        std::error_code ignore;
        if (!nom || nom->starts_with('.') || contient(*nom, "~") || it->is_directory(ignore))
            continue;
        std::string cle = majuscules(*nom);
        if (!premier || cle < premier->first) premier.emplace(std::move(cle), *nom);
    }
    if (!premier) return std::nullopt;
    return premier->second;
}

std::string masque_extension(std::string_view nom) {
    const auto point = nom.rfind('.');
    return "*" + majuscules(point == std::string_view::npos ? "" : nom.substr(point));
}

}  // namespace

ChoixRepertoire::ChoixRepertoire(Session& session, Dialogue& dialogue, Lanceur& lanceur,
                                 std::string_view dossier_programme)
    : recents(fichier_rep_recents(dossier_programme)),
      session_(session),
      dialogue_(dialogue),
      lanceur_(lanceur),
      dossier_programme_(ajouter_antislash(dossier_programme)) {}

std::string ChoixRepertoire::texte_label(ChoixRepertoireDemande quel) const {
    const Description& d = session_.description;
    std::string texte;
    switch (quel) {
        case ChoixRepertoireDemande::donnees:
            texte = d.dossier_choisi;
            break;
        case ChoixRepertoireDemande::description:
            texte = session_.Label_rep_description;
            break;
        case ChoixRepertoireDemande::sortie:
            texte = d.dossier_choisi_sortie;
            break;
        case ChoixRepertoireDemande::aucun:
            return {};
    }
    return texte.empty() ? fr(vide(quel)) : texte;
}

std::string ChoixRepertoire::repertoire_explorateur() const {
    return dossier_existe(Label_dir_new) ? Label_dir_new : std::string(1, separateur_dossier);
}

CouleurLegende ChoixRepertoire::couleur_bouton(ChoixRepertoireDemande quel) const {
    if (quel == bouton_rouge) return CouleurLegende::rouge;
    return quel == ChoixRepertoireDemande::donnees ? CouleurLegende::marron
                                                   : CouleurLegende::normale;
}

Repertoires ChoixRepertoire::labels() const {
    return {texte_label(ChoixRepertoireDemande::donnees),
            texte_label(ChoixRepertoireDemande::description),
            texte_label(ChoixRepertoireDemande::sortie)};
}

SuiteOuverture ChoixRepertoire::ouvrir_choix_repertoire(ChoixRepertoireDemande quel,
                                                        double maintenant_secondes,
                                                        std::string_view legende) {
    // A double click would open the chooser and close it at once.
    const bool trop_tot = maintenant_secondes - heure_dernier_clic < 0.5;
    heure_dernier_clic = maintenant_secondes;
    if (trop_tot || quel == ChoixRepertoireDemande::aucun) return SuiteOuverture::ignoree;
    if (bouton_rouge == quel) {
        annuler_repertoire();
        return SuiteOuverture::fermee;
    }
    bouton_rouge = quel;

    Description& d = session_.description;
    std::string r = texte_label(quel);
    if (!dossier_existe(r) && r != fr(vide(quel))) {
        Panel_dir_visible = false;
        ListBox_rep_recent_visible = false;
        if (quel == ChoixRepertoireDemande::sortie) {
            const std::string cible = d.dossier_choisi + "EXPORT";
            if (dialogue_.question(
                    IdMessage::creer_sous_repertoire_sortie,
                    fr(" Créer le sous répertoire ") + cible + " pour les fichiers de sortie ? ",
                    TypeMessage::avertissement, Boutons::oui_non) == Reponse::oui) {
                std::error_code ignore;
                fs::create_directories(chemin_natif(cible), ignore);
                if (!dossier_existe(cible)) {
                    dialogue_.message(IdMessage::creation_repertoire_impossible,
                                      fr("Impossible de créer le répertoire  ") + cible,
                                      TypeMessage::avertissement);
                } else {
                    d.dossier_choisi_sortie = ajouter_antislash(cible);
                    r = d.dossier_choisi_sortie;
                    session_.f_modif = false;
                }
            }
        } else {
            dialogue_.message(IdMessage::dossier_inaccessible,
                              std::string(legende) + "\n\n\n" + "DOSSIER INACCESSIBLE\n\n" + "<" +
                                  r + ">" + "\n\n" + fr("Sélectionner un dossier valide...") +
                                  "\n\n",
                              TypeMessage::erreur);
        }
    }

    Label_dir_new = r;
    Panel_dir_visible = true;
    changer_repertoire(dossier_existe(r) ? ajouter_antislash(r)
                                         : parent_existant(r).value_or(dossier_programme_));
    if (quel == ChoixRepertoireDemande::donnees) verifier_masque();
    return SuiteOuverture::ouverte;
}

// A data directory whose files all carry another extension than the mask: the mask is
// probably a leftover of the previous description.
void ChoixRepertoire::verifier_masque() {
    Description& d = session_.description;
    AffichageListage& a = session_.inventaire.affichage;
    const ComptageFichiers compte = compter_fichiers(d);
    if (compte.nb != 0) {
        a.nb_fichiers_listes = std::to_string(compte.nb);
        a.Label_nom_de_fichier = compte.premier;
        return;
    }
    const auto premier = premier_fichier(d.dossier_choisi);
    if (!premier) return;
    const std::string x = masque_extension(*premier);
    if (x == majuscules(d.Edit_masque)) return;
    Description avec_x = d;
    avec_x.Edit_masque = x;
    const ComptageFichiers detecte = compter_fichiers(avec_x);
    if (dialogue_.question(
            IdMessage::mettre_a_jour_masque,
            d.dossier_choisi + "\n\n" +
                fr("   Aucun fichier de ce répertoire n'a l'extention attendue de ") +
                d.Edit_masque + "\n\n" +
                fr(" Mettre à jour le champ [masque] des extentions de fichiers ?      \n\n") +
                "  attendu  => " + d.Edit_masque + "\n\n" + fr("  nouveau détecté => ") + x + "  " +
                std::to_string(detecte.nb) + " fichier(s)",
            TypeMessage::avertissement, Boutons::oui_non) == Reponse::oui) {
        d.Edit_masque = x;
        session_.f_modif = true;
    }
    a.nb_fichiers_listes = std::to_string(detecte.nb);
    a.Label_nom_de_fichier = detecte.premier;
    a.legende_SpeedButton_lister =
        legende_bouton_lister(mode_depuis_masque(d.Edit_masque), d.Edit_masque);
    if (detecte.premier.empty()) return;
    if (dialogue_.question(
            IdMessage::visualiser_exemplaire,
            fr(" Visualiser un fichier de données pour aider à remplir les champs ? \n") +
                detecte.premier,
            TypeMessage::confirmation, Boutons::oui_non) == Reponse::oui)
        lanceur_.ouvrir_dans_editeur(ajouter_antislash(d.dossier_choisi) + detecte.premier);
}

void ChoixRepertoire::changer_repertoire(std::string_view repertoire) {
    repertoire_liste = ajouter_antislash(repertoire);
    Label_dir_new = repertoire_liste;
    Label_dir_new_rouge = true;
    valider_rouge = true;
    nb_fichiers_repertoire = std::to_string(nombre_fichiers(repertoire_liste));
}

bool ChoixRepertoire::saisir_repertoire(std::string_view saisi) {
    const std::string repertoire(rogner(saisi));
    if (repertoire.empty() || !dossier_existe(repertoire)) {
        dialogue_.message(IdMessage::repertoire_saisi_absent,
                          fr(" Répertoire inexistant \n\n") + repertoire + "\n",
                          TypeMessage::information);
        return false;
    }
    changer_repertoire(repertoire);
    return true;
}

void ChoixRepertoire::ajouter_recents() {
    try {
        recents.ajouter(labels());
    } catch (const ErreurFichier& e) {
        dialogue_.message(IdMessage::erreur_entree_sortie, e.what(), TypeMessage::erreur);
    }
}

ResultatValidation ChoixRepertoire::valider_repertoire(std::string_view repertoire) {
    Panel_dir_visible = false;
    ListBox_rep_recent_visible = false;
    ajouter_recents();
    ResultatValidation resultat;
    Description& d = session_.description;
    const std::string dossier = ajouter_antislash(repertoire);
    switch (bouton_rouge) {
        case ChoixRepertoireDemande::donnees: {
            d.dossier_choisi = dossier;
            session_.f_modif = true;
            AffichageListage& a = session_.inventaire.affichage;
            const ComptageFichiers compte = compter_fichiers(d);
            a.nb_fichiers_listes = std::to_string(compte.nb);
            a.Label_nom_de_fichier = compte.premier;
            if (compte.nb > 0) {
                a.legende_SpeedButton_lister =
                    legende_bouton_lister(mode_depuis_masque(d.Edit_masque), d.Edit_masque);
                resultat.lister = true;
            } else {
                dialogue_.message(
                    IdMessage::aucun_fichier_extension,
                    " Aucun fichier ayant l'extension " + d.Edit_masque + "        " + "\n",
                    TypeMessage::information);
            }
            session_.lire_ecrire_description(Session::SensDescription::ecrire);
            break;
        }
        case ChoixRepertoireDemande::description:
            d.dossier_description = dossier;
            session_.Label_rep_description = dossier;
            session_.lire_ecrire_description(Session::SensDescription::ecrire);
            break;
        case ChoixRepertoireDemande::sortie:
            d.dossier_choisi_sortie = dossier;
            session_.lire_ecrire_description(Session::SensDescription::ecrire);
            break;
        case ChoixRepertoireDemande::aucun:
            break;
    }
    annuler_repertoire();
    return resultat;
}

void ChoixRepertoire::annuler_repertoire() {
    Panel_dir_visible = false;
    ListBox_rep_recent_visible = false;
    valider_rouge = false;
    bouton_rouge = ChoixRepertoireDemande::aucun;
}

void ChoixRepertoire::basculer_recents() {
    ListBox_rep_recent_visible = !ListBox_rep_recent_visible;
    if (!ListBox_rep_recent_visible) return;
    try {
        recents.charger(labels());
    } catch (const ErreurFichier& e) {
        dialogue_.message(IdMessage::erreur_entree_sortie, e.what(), TypeMessage::erreur);
    }
}

void ChoixRepertoire::choisir_recent(std::size_t indice) {
    if (indice >= recents.entrees().size()) return;
    const ChoixRecent choix = choisir_repertoire_recent(recents.entrees()[indice], dialogue_);
    if (choix.action == ChoixRecent::Action::choisir) {
        Label_dir_new = choix.repertoire;
        Description& d = session_.description;
        switch (bouton_rouge) {
            case ChoixRepertoireDemande::donnees:
                d.dossier_choisi = choix.repertoire;
                break;
            case ChoixRepertoireDemande::description:
                d.dossier_description = choix.repertoire;
                session_.Label_rep_description = choix.repertoire;
                break;
            case ChoixRepertoireDemande::sortie:
                d.dossier_choisi_sortie = choix.repertoire;
                break;
            case ChoixRepertoireDemande::aucun:
                break;
        }
        annuler_repertoire();
        session_.f_modif = true;
    } else if (choix.action == ChoixRecent::Action::effacer) {
        recents.vider();
        ListBox_rep_recent_visible = false;
        Panel_dir_visible = false;
    }
}

void ChoixRepertoire::editer_fichier(std::string_view chemin) {
    if (dialogue_.question(IdMessage::editer_fichier,
                           " Editer le fichier <" + nom_de_fichier(chemin) + ">  ?  " + "\n\n",
                           TypeMessage::confirmation, Boutons::oui_non) == Reponse::oui)
        lanceur_.ouvrir_dans_editeur(chemin);
}

ChoixRepertoireDemande ChoixRepertoire::ouvrir_changement_lecteur() {
    if (session_.Label_rep_description == fr(repertoire_description_vide)) {
        dialogue_.message(IdMessage::dossier_descriptions_d_abord,
                          texte_dossier_descriptions_d_abord(), TypeMessage::information);
        return ChoixRepertoireDemande::description;
    }
    const Description& d = session_.description;
    Panel_lecteur_visible = true;
    repertoire_descriptions = d.dossier_description;
    Edit_lecteur = regle_edit_lecteur(lecteur_de(d.dossier_description), dossier_programme_);
    ListBox_CheminsFichiers = chemins_descriptions(d.dossier_description);
    rapport_lecteur = ListBox_CheminsFichiers;
    const auto r =
        changer_lecteur(Edit_lecteur, ListBox_CheminsFichiers,
                        {d.dossier_choisi, d.dossier_description, d.dossier_choisi_sortie},
                        dossier_programme_, false, session_.journal);
    rapport_lecteur.insert(rapport_lecteur.end(), r.rapport.begin(), r.rapport.end());
    return ChoixRepertoireDemande::aucun;
}

void ChoixRepertoire::saisir_lecteur(std::string_view texte) {
    Edit_lecteur = regle_edit_lecteur(texte, dossier_programme_);
}

bool ChoixRepertoire::modifier_lecteur() {
    if (dialogue_.question(IdMessage::confirmer_changement_lecteur,
                           " Confimation du changement de lecteur dans les fichiers DSC  (/" +
                               Edit_lecteur + "/)  ",
                           TypeMessage::confirmation, Boutons::oui_annuler) != Reponse::oui)
        return false;
    Description& d = session_.description;
    const auto r =
        changer_lecteur(Edit_lecteur, ListBox_CheminsFichiers,
                        {d.dossier_choisi, d.dossier_description, d.dossier_choisi_sortie},
                        dossier_programme_, true, session_.journal);
    rapport_lecteur.insert(rapport_lecteur.end(), r.rapport.begin(), r.rapport.end());
    d.dossier_choisi = r.repertoires.dossier_choisi;
    d.dossier_description = r.repertoires.dossier_description;
    d.dossier_choisi_sortie = r.repertoires.dossier_choisi_sortie;
    session_.Label_rep_description = d.dossier_description;
    session_.f_modif = true;
    return true;
}

std::string regle_edit_lecteur(std::string_view saisi, std::string_view dossier_programme) {
    std::string_view s = rogner(saisi);
    while (s.starts_with(separateur_dossier)) s.remove_prefix(1);
    s = s.substr(0, s.find(separateur_dossier));
    if (!s.empty()) return std::string(s);
    const std::string lecteur = lecteur_de(dossier_programme);
    return lecteur.empty() ? lecteur : lecteur.substr(1);
}

int nombre_fichiers(std::string_view repertoire) {
    int nb = 0;
    std::error_code erreur;
    for (fs::directory_iterator it(chemin_natif(ajouter_antislash(repertoire)), erreur), fin;
         !erreur && it != fin; it.increment(erreur)) {
        std::error_code ignore;
        if (it->is_regular_file(ignore) && !it->path().filename().string().starts_with('.')) ++nb;
    }
    return nb;
}

}  // namespace tarvo
