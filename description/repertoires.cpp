#include "description/repertoires.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "description/cles_description.h"
#include "description/fichier_description.h"
#include "description/messages.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "formats/provisoire.h"
#include "formats/texte.h"
#include "plateforme/dialogue.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

void creer_si_absent(const std::string& dossier) {
    std::error_code erreur;
    fs::create_directories(chemin_natif(dossier), erreur);
    if (!dossier_existe(dossier))
        throw ErreurFichier(fr("Impossible de créer le répertoire  ") + dossier);
}

std::string sans_barre_finale(std::string_view dossier) {
    if (dossier.ends_with(separateur_dossier)) dossier.remove_suffix(1);
    return std::string(dossier);
}

// A directory named EXPORT (letter case aside) directly inside `dossier`.
bool contient_export(const fs::path& dossier) {
    std::error_code erreur;
    for (fs::directory_iterator it(dossier, erreur), fin; !erreur && it != fin;
         it.increment(erreur)) {
        std::error_code ignore;
        if (it->is_directory(ignore) &&
            majuscules(utf8_vers_cp1252(it->path().filename().string())) == "EXPORT")
            return true;
    }
    return false;
}

// The output convention may sit one or two levels above the data (a station's sub-folders
// sharing one EXPORT).
bool parent_contient_export(std::string_view dossier_choisi) {
    const fs::path donnees = chemin_natif(sans_barre_finale(dossier_choisi));
    const fs::path parent = donnees.parent_path();
    return contient_export(parent) || contient_export(parent.parent_path());
}

Repertoires tout_vers(const std::string& p) {
    const std::string sortie = p + "EXPORT/";
    creer_si_absent(sortie);
    return {p, p, sortie};
}

ResultatVerification verifier_avec_argument(const Repertoires& lus, std::string_view chemin,
                                            const std::string& p, Dialogue& dialogue) {
    const bool donnees = dossier_existe(lus.dossier_choisi);
    const bool description = dossier_existe(lus.dossier_description);
    const bool sortie = dossier_existe(lus.dossier_choisi_sortie);

    std::string manquants;
    int nb_manquants = 0;
    for (const auto& [existe, nom] :
         {std::pair{donnees, "/Données "}, std::pair{description, "/Description "},
          std::pair{sortie, "/EXPORT "}}) {
        if (existe) continue;
        manquants += fr(nom);
        ++nb_manquants;
    }
    const std::string s = nb_manquants >= 2 ? "s" : "";
    const auto marque = [](bool existe) { return std::string(existe ? " " : "?"); };
    const std::string contenu =
        fr("Contenu partiel :\n\nRépertoire") + s + " " + manquants + "inexistant" + s + "\n\n" +
        fr("/Données     ") + marque(donnees) + " " + lus.dossier_choisi + "\n" + "/Description " +
        marque(description) + " " + lus.dossier_description + "\n" + "/EXPORT      " +
        marque(sortie) + " " + lus.dossier_choisi_sortie + "\n\n";
    const std::string tete = fr("Fichier de description sélectionné : ") + nom_de_fichier(chemin) +
                             "\n" + fr("   dans le répertoire ") + dossier_de_fichier(chemin) +
                             "\n\n" + contenu;
    const std::string vers_p = fr("/Données     > ") + p + "\n" + "/Description > " + p + "\n" +
                               "/EXPORT      > " + p + "EXPORT/";
    const std::string boite_changer = tete +
                                      fr("CHANGER avec le répertoire du fichier sélectionné ? (") +
                                      p + ") \n\n" + vers_p + "\n";

    ResultatVerification r{SuiteVerification::continuer, lus};
    if (!donnees && !description && !sortie) {
        if (dialogue.message_perso(IdMessage::changer_repertoires_description, boite_changer,
                                   TypeMessage::confirmation, "CHANGER", "Annuler") != 1)
            r.suite = SuiteVerification::abandon;
        else
            r.repertoires = tout_vers(p);
    } else if (!donnees && !sortie && lus.dossier_description == p) {
        if (dialogue.message_perso(IdMessage::changer_repertoires_description, boite_changer,
                                   TypeMessage::confirmation, "CHANGER", "Annuler") != 1) {
            r.suite = SuiteVerification::abandon;
        } else {
            r.repertoires.dossier_choisi = p;
            r.repertoires.dossier_choisi_sortie = p + "EXPORT/";
            creer_si_absent(r.repertoires.dossier_choisi_sortie);
        }
    } else if (donnees) {
        // The description lies where it was opened from, whatever the file says.
        r.repertoires.dossier_description = p;
        if (lus.dossier_choisi != p && !sortie) {
            r.repertoires.dossier_choisi_sortie = lus.dossier_choisi + "EXPORT/";
            creer_si_absent(r.repertoires.dossier_choisi_sortie);
        }
    } else if (sortie) {
        const std::string texte =
            tete + fr("CHANGER les 3 avec le répertoire du fichier sélectionné ? (") + p +
            ") !\n\n" + vers_p;
        if (dialogue.message_perso(IdMessage::changer_trois_repertoires, texte,
                                   TypeMessage::confirmation, "CHANGER", "Annuler") != 1)
            r.suite = SuiteVerification::abandon;
        else
            r.repertoires = tout_vers(p);
    } else {
        dialogue.message(IdMessage::option_repertoires_non_traitee,
                         texte_option_repertoires_non_traitee(), TypeMessage::information);
    }
    return r;
}

ResultatVerification verifier_sans_argument(const Repertoires& lus, std::string_view chemin,
                                            Dialogue& dialogue) {
    const std::string p = ajouter_antislash(dossier_de_fichier(chemin));
    const std::string p_sans = sans_barre_finale(p);
    const std::string nom = nom_de_fichier(chemin);
    const auto& [choisi, desc, sortie] = lus;
    const bool donnees_ok = dossier_existe(choisi);
    const bool description_ok = dossier_existe(desc);
    const bool sortie_ok = dossier_existe(sortie);

    ResultatVerification r{SuiteVerification::continuer, lus};
    if (!donnees_ok && !description_ok && !sortie_ok) {
        const std::string texte =
            fr("Fichier de description sélectionné : ") + nom + "\n\n" +
            fr("Inexistance des 3 répertoires : /Données, /Description et /EXPORT\n\n") +
            fr("/Données     ? ") + choisi + "\n" + "/Description ? " + desc + "\n" +
            "/EXPORT      ? " + sortie + "\n\n" + "Remplacer par " + p_sans + "/ ? " + "\n\n" +
            fr("/Données     > ") + p + "\n" + "/Description > " + p + "\n" + "/EXPORT      > " +
            p + "EXPORT/\n";
        if (dialogue.message_perso(IdMessage::trois_repertoires_absents, texte,
                                   TypeMessage::avertissement, "Remplacer", "Annuler") == 1)
            r.repertoires = tout_vers(p);
        else
            r.suite = SuiteVerification::abandon;
    } else if (donnees_ok && description_ok && sortie_ok) {
        if (majuscules(choisi + "EXPORT/") == majuscules(sortie) || parent_contient_export(choisi))
            return r;
        const std::string texte =
            fr("Le sous-répertoire /EXPORT n'existe pas \n\n/Données       ") + choisi + "\n" +
            "/Description   " + desc + "\n" + "/EXPORT      ? " + sortie + "\n\n" +
            fr("GARDER le répertoire ou CRÉER le répertoire /EXPORT ?") + "\n\n" +
            fr("/Données       ") + choisi + "\n" + "/Description   " + desc + "\n" +
            "/EXPORT      > " + p_sans + "/EXPORT/" + "\n";
        // Closing the box answers 2, as the middle button does.
        const int choix = dialogue.message_perso(IdMessage::garder_ou_creer_export, texte,
                                                 TypeMessage::confirmation, "GARDER",
                                                 fr("CRÉER /EXPORT"), "Annuler");
        if (choix == 2) {
            r.repertoires.dossier_choisi_sortie = p_sans + "/EXPORT/";
            creer_si_absent(r.repertoires.dossier_choisi_sortie);
        } else if (choix == 3) {
            r.suite = SuiteVerification::abandon;
        }
    } else if (donnees_ok || sortie_ok) {
        return r;
    } else {
        const std::string texte =
            fr("Fichier de description sélectionné : \n\nInexistance de 2 répertoires : /Données "
               "et /EXPORT   dans ") +
            nom + "\n\n" + fr("/Données     ? ") + choisi + "\n" + "/Description   " + desc + "\n" +
            "/EXPORT      ? " + sortie + "\n\n" + "REMPLACER par " + p_sans + "/ ? " + "\n\n" +
            fr("/Données     > ") + desc + "\n" + "/Description   " + desc + "\n" +
            "/EXPORT      > " + desc + "EXPORT/\n";
        if (dialogue.message_perso(IdMessage::deux_repertoires_absents, texte,
                                   TypeMessage::avertissement, "REMPLACER", "Annuler") == 1) {
            r.repertoires.dossier_choisi = desc;
            r.repertoires.dossier_choisi_sortie = desc + "EXPORT/";
            creer_si_absent(r.repertoires.dossier_choisi_sortie);
        } else {
            r.suite = SuiteVerification::abandon;
        }
    }
    return r;
}

// The part of a directory kept when its drive changes; a relative path is kept whole.
std::string sans_lecteur(std::string_view chemin) {
    if (!chemin.starts_with(separateur_dossier)) return separateur_dossier + std::string(chemin);
    const auto barre = chemin.find(separateur_dossier, 1);
    return barre == std::string_view::npos ? std::string(1, separateur_dossier)
                                           : std::string(chemin.substr(barre));
}

// The drive typed by the user: "mnt", "/mnt" and "/mnt/" all mean "/mnt".
std::string lecteur_saisi(std::string_view lecteur, std::string_view dossier_programme) {
    const auto l = rogner(lecteur);
    if (l.empty() || l == ":") return lecteur_de(dossier_programme);
    std::string s(l);
    if (!s.starts_with(separateur_dossier)) s.insert(s.begin(), separateur_dossier);
    while (s.ends_with(separateur_dossier)) s.pop_back();
    return s;
}

std::string joindre_lignes(const std::vector<std::string>& lignes) {
    std::string texte;
    for (const auto& l : lignes) texte.append(l).append("\r\n");
    return texte;
}

}  // namespace

ResultatVerification verifier_repertoires_apres_lecture(const Repertoires& lus,
                                                        std::string_view chemin_description,
                                                        std::string_view dossier_argument,
                                                        Dialogue& dialogue) {
    // The command-line rules are for the description opened from there. Applied to one
    // chosen later elsewhere, they would move its description directory to the command
    // line's, and the next save would overwrite a namesake there.
    const std::string p = ajouter_antislash(dossier_argument);
    if (!p.empty() && dossier_de_fichier(chemin_description) == p)
        return verifier_avec_argument(lus, chemin_description, p, dialogue);
    return verifier_sans_argument(lus, chemin_description, dialogue);
}

std::string fichier_rep_recents(std::string_view dossier_programme) {
    return ajouter_antislash(dossier_programme) + "nom_fic_rep_recents.txt";
}

void RepertoiresRecents::ajouter_entree(std::string entree) {
    const std::string cle = majuscules(entree);
    if (std::none_of(entrees_.begin(), entrees_.end(),
                     [&](const std::string& e) { return majuscules(e) == cle; }))
        entrees_.push_back(std::move(entree));
}

void RepertoiresRecents::lire_fichier_entrees() {
    entrees_.clear();
    lue_ = true;
    if (const auto contenu = lire_fichier(fichier_))
        for (const auto ligne : decouper_lignes(*contenu))
            if (!rogner(ligne).empty()) ajouter_entree(std::string(ligne));
}

void RepertoiresRecents::ajouter(const Repertoires& labels) {
    if (!lue_) lire_fichier_entrees();
    const std::array<std::pair<const std::string*, std::string_view>, 3> sources{
        {{&labels.dossier_choisi, repertoire_donnees_vide},
         {&labels.dossier_description, repertoire_description_vide},
         {&labels.dossier_choisi_sortie, repertoire_sortie_vide}}};
    for (std::size_t k = 0; k < sources.size(); ++k) {
        const auto& [texte, vide] = sources[k];
        if (rogner(*texte).empty() || *texte == fr(vide)) continue;
        ajouter_entree(std::to_string(k + 1) + "- " + *texte);
    }
    ecrire_fichier_atomique(fichier_, joindre_lignes(entrees_));
}

void RepertoiresRecents::charger(const Repertoires& labels) {
    lire_fichier_entrees();
    if (entrees_.empty()) ajouter(labels);
}

std::string repertoire_de_entree(std::string_view entree) {
    return entree.size() > 3 ? std::string(entree.substr(3)) : std::string();
}

ChoixRecent choisir_repertoire_recent(std::string_view entree, Dialogue& dialogue) {
    ChoixRecent choix;
    const std::string repertoire = repertoire_de_entree(entree);
    if (!dossier_existe(repertoire)) {
        dialogue.message(IdMessage::repertoire_recent_absent,
                         fr(" Répertoire inexistant \n\n") + repertoire + "\n",
                         TypeMessage::information);
        return choix;
    }
    const Reponse r = dialogue.question(IdMessage::choisir_repertoire_recent,
                                        fr("  Choisir le répertoire ") + repertoire + "\n\n" +
                                            "  (Non) = effacer la liste" + "\n\n",
                                        TypeMessage::confirmation, Boutons::oui_non_annuler);
    if (r == Reponse::oui) {
        choix.action = ChoixRecent::Action::choisir;
        choix.repertoire = repertoire;
    } else if (r == Reponse::non &&
               dialogue.question(IdMessage::effacer_repertoires_recents,
                                 texte_effacer_repertoires_recents(), TypeMessage::confirmation,
                                 Boutons::oui_non) == Reponse::oui) {
        choix.action = ChoixRecent::Action::effacer;
    }
    return choix;
}

std::string lecteur_de(std::string_view chemin) {
    if (!chemin.starts_with(separateur_dossier) || chemin.size() == 1) return {};
    return std::string(chemin.substr(0, chemin.find(separateur_dossier, 1)));
}

std::vector<std::string> chemins_descriptions(std::string_view dossier_description) {
    std::vector<std::pair<std::string, std::string>> trouves;  // upper-cased name, name
    std::error_code erreur;
    for (fs::directory_iterator it(chemin_natif(ajouter_antislash(dossier_description)), erreur),
         fin;
         !erreur && it != fin; it.increment(erreur)) {
        const auto nom = utf8_vers_cp1252_exact(it->path().filename().string());
        std::error_code ignore;
        if (!nom || !it->is_regular_file(ignore)) continue;
        std::string cle = majuscules(*nom);
        if (cle.ends_with(".DSC")) trouves.emplace_back(std::move(cle), *nom);
    }
    std::sort(trouves.begin(), trouves.end());
    std::vector<std::string> chemins;
    chemins.reserve(trouves.size());
    for (const auto& t : trouves)
        chemins.push_back(ajouter_antislash(dossier_description) + t.second);
    return chemins;
}

ResultatChangementLecteur changer_lecteur(std::string_view lecteur,
                                          const std::vector<std::string>& chemins_fichiers,
                                          const Repertoires& repertoires,
                                          std::string_view dossier_programme, bool appliquer,
                                          JournalSuivi& journal) {
    const std::string l = lecteur_saisi(lecteur, dossier_programme);
    ResultatChangementLecteur r;
    r.repertoires = repertoires;
    auto& rapport = r.rapport;
    rapport.emplace_back();
    for (const std::string& f : chemins_fichiers) {
        const auto contenu = lire_fichier(f);
        if (!contenu) {
            rapport.push_back(fr("Impossible d'ouvrir le fichier ") + f);
            continue;
        }
        std::vector<std::string> lignes;
        for (const auto ligne : decouper_lignes(*contenu)) lignes.emplace_back(ligne);
        rapport.push_back(nom_de_fichier(f));
        if (appliquer)
            rapport.push_back(
                std::string("- modification lecteur par <").append(l).append("> dans ").append(f));
        int modifs = 0;
        for (const std::string_view cle :
             {"dossier_choisi", "dossier_description", "dossier_choisi_sortie"}) {
            const auto trouve = chercher_cle(lignes, cle);
            const std::string v = ajouter_antislash(trouve ? trouve->valeur : "/.");
            const std::string n = appliquer ? l + sans_lecteur(v) : v;
            if (dossier_existe(n)) {
                // A key the file lacks is not added: its reader keeps taking the default.
                if (appliquer && trouve) {
                    lignes[trouve->ligne] = std::string(cle) + "= " + n;
                    ++modifs;
                }
                rapport.push_back("  " + n);
            } else {
                if (cle != "dossier_choisi")
                    rapport.push_back(fr("  échec  ").append(v).append("=>").append(n));
                rapport.push_back(std::string(n).append(" <= ").append(v).append(fr("  échec")));
            }
        }
        if (appliquer && modifs > 0) {
            try {
                ecrire_fichier_atomique(f, joindre_lignes(lignes));
                r.nb_modifs += modifs;
            } catch (const ErreurFichier&) {
                std::string m = fr("Impossible de créer le fichier %s");
                rapport.push_back(m.replace(m.find("%s"), 2, f));
            }
        }
    }
    if (!appliquer) return r;

    const auto nb = std::to_string(chemins_fichiers.size());
    rapport.emplace_back();
    rapport.push_back(fr(" mise à jour des ") + nb + " fichiers de description, " +
                      std::to_string(r.nb_modifs) + " modif. avec le lecteur " + l + " ( 3x" + nb +
                      " = " + std::to_string(3 * chemins_fichiers.size()) + " )");
    for (std::string* d : {&r.repertoires.dossier_choisi, &r.repertoires.dossier_choisi_sortie,
                           &r.repertoires.dossier_description}) {
        const std::string n = l + sans_lecteur(*d);
        if (dossier_existe(n))
            *d = n;
        else
            journal.ajouter_suivi(fr("    échec  ") + *d + " => " + n);
    }
    r.f_modif = true;
    return r;
}

}  // namespace tarvo
