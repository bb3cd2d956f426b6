#include "output/nommage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "formats/texte.h"
#include "plateforme/dialogue.h"

namespace tarvo {

namespace {

// Removes the first occurrence of the marker; false when there is none.
bool retirer_marqueur(std::string& nom, std::string_view marqueur) {
    const auto p = nom.find(marqueur);
    if (p == std::string::npos) return false;
    nom.erase(p, marqueur.size());
    return true;
}

}  // namespace

std::string duree_pour_nom(double jours) {
    const long long ms =
        std::isfinite(jours) ? std::llround(std::fabs(jours) * jour_en_millisecondes) : 0;
    const long long s = ms / 1000;
    std::array<char, 64> tampon{};
    std::snprintf(tampon.data(), tampon.size(), "%02lld;%02lld;%02lld", s / 3600, s / 60 % 60,
                  s % 60);
    return tampon.data();
}

std::string nom_avec_marqueurs(const ParametresNommage& p, std::string& nom_travail) {
    nom_travail.clear();
    std::string nom = p.Edit_nom_fic_sortie;
    if (rogner(nom).empty()) nom = "A#";
    if (retirer_marqueur(nom, "#")) {
        nom_travail = nom;
        nom = remplacer_car(':', ';', nom + "_" + duree_pour_nom(p.duree_totale));
    }
    if (retirer_marqueur(nom, fr("§"))) {
        nom_travail = nom;
        nom += " du " + p.Label_temps_deb.substr(0, 10) + " au " + p.Label_temps_fin.substr(0, 10) +
               " (" + std::to_string(p.nb_resultats) + ")";
        nom = remplacer_car('/', '-', remplacer_car(':', ';', nom));
    }
    if (nom.find('.') == std::string::npos) nom += ".txt";
    return nom;
}

std::string premier_chemin_libre(std::string_view dossier, std::string_view souche,
                                 std::string_view extension) {
    const std::string base = std::string(dossier) + std::string(souche);
    std::string chemin = base + std::string(extension);
    for (long long k = 1; existe(chemin); ++k)
        chemin = base + "(" + std::to_string(k) + ")" + std::string(extension);
    return chemin;
}

std::string nom_fichier_resultat(const ParametresNommage& p, std::string& nom_travail) {
    const std::string nom = nom_avec_marqueurs(p, nom_travail);
    return nom.substr(0, nom.find('.')) + nom.substr(nom.rfind('.'));
}

namespace {
std::string_view sans_extension(std::string_view nom) {
    return nom.substr(0, nom.rfind('.'));
}
}  // namespace

std::string nom_sortie_apres_renommage(std::string_view sortie, std::string_view ancienne,
                                       std::string_view nouvelle) {
    const std::string_view ancien = sans_extension(ancienne);
    const bool derive =
        !ancien.empty() && sortie.starts_with(ancien) &&
        sortie.substr(ancien.size()).find_first_not_of(" #\xA7") == std::string_view::npos;
    if (!derive) return std::string(sortie);
    return std::string(sans_extension(nouvelle)) + std::string(sortie.substr(ancien.size()));
}

std::string refus_nom_resultat(const ParametresNommage& p) {
    const std::string& brut = p.Edit_nom_fic_sortie;
    std::string travail;
    const std::string nom = nom_fichier_resultat(p, travail);
    // The tracking file adds ".TXT", each temporary ".~ecriture" and eight characters.
    constexpr std::size_t longueur_max = 255 - 4 - 18;
    std::string raison;
    if (std::any_of(brut.begin(), brut.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        raison = fr("il contient un caractère de contrôle");
    else if (brut.find_first_of("/\\") != std::string::npos)
        raison = fr("il contient « / » ou « \\ » : le répertoire de sortie se choisit à part");
    else if (nom == "." || nom == "..")
        raison = fr("« . » et « .. » désignent des répertoires");
    else if (const std::size_t n = cp1252_vers_utf8(nom).size(); n > longueur_max)
        raison = fr("il est trop long (") + std::to_string(n) + fr(" octets, ") +
                 std::to_string(longueur_max) + " au plus)";
    if (raison.empty()) return {};
    std::string montre = echapper_controles(std::string_view(brut).substr(0, 80));
    if (brut.size() > 80) montre += "...";
    return fr("Le nom du fichier résultat <") + montre + fr("> ne peut pas être écrit : ") +
           raison + fr("\n\n   corriger le nom du fichier de sortie avant de traiter");
}

NomResultat nommer_resultat(const ParametresNommage& p, Dialogue& dialogue,
                            const ChoixFichierSortie& choisir, JournalSuivi& journal) {
    NomResultat r;
    const std::string nom = nom_fichier_resultat(p, r.nom_travail);
    const std::string extension = nom.substr(nom.rfind('.'));
    const std::string souche = nom.substr(0, nom.rfind('.'));
    r.chemin = p.dossier_sortie + nom;

    if (p.CheckBox_inc_nom) {
        r.chemin = premier_chemin_libre(p.dossier_sortie, souche, extension);
    } else if (existe(r.chemin)) {
        std::string dossier = dossier_de_fichier(r.chemin);
        if (!dossier.empty() && dossier.back() == separateur_dossier) dossier.pop_back();
        std::string question = dossier + "\n\n" + " Le fichier  " + nom_de_fichier(r.chemin) +
                               "\n\n" + fr("   existe déjà") + "\n\n";
        IdMessage id = IdMessage::ecraser_resultat;
        if (p.incomplet == ResultatIncomplet::partiel) {
            id = IdMessage::ecraser_resultat_partiel;
            question += fr(" le nouveau résultat est PARTIEL : le traitement a été stoppé\n\n");
        } else if (p.incomplet == ResultatIncomplet::sans_valeur) {
            id = IdMessage::ecraser_resultat_sans_valeur;
            question +=
                fr(" le nouveau résultat ne contient AUCUNE VALEUR VALIDE : toutes ses "
                   "valeurs sont NA\n\n");
        }
        question += fr(" => écraser ?");
        const bool complet = p.incomplet == ResultatIncomplet::non;
        if (dialogue.question(
                id, question, complet ? TypeMessage::confirmation : TypeMessage::avertissement,
                Boutons::oui_non,
                complet ? std::nullopt : std::optional(Reponse::non)) != Reponse::oui) {
            const DemandeEnregistrement demande{
                fr("enregistrement des résultats de calcul"), souche, p.dossier_sortie,
                "Fichiers texte (*.txt)|*.txt|Tous les fichiers (*.*)|*.*"};
            const std::optional<std::string> choisi = choisir ? choisir(demande) : std::nullopt;
            if (choisi && !rogner(*choisi).empty()) {
                r.chemin = *choisi;
                if (!contient(majuscules(r.chemin), ".TXT")) r.chemin += ".txt";
                r.nom_travail = r.chemin;
            } else {
                r.chemin = p.dossier_sortie + fr("~résultats.txt");
                r.recuperation = true;
                journal.ajouter_suivi("");
                journal.ajouter_suivi(fr(" données calculées récupérables dans "));
                journal.ajouter_suivi(r.chemin);
            }
        }
    }
    r.nom_resultat = nom_de_fichier(r.chemin);
    journal.ajouter_suivi(" => " + r.nom_resultat);
    return r;
}

}  // namespace tarvo
