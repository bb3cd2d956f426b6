#include "description/fichier_description.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "description/repertoires.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "formats/texte.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view extension_description = ".DSC";

bool fichier_existe(std::string_view chemin) {
    std::error_code ignore;
    return fs::is_regular_file(chemin_natif(chemin), ignore);
}

// Everything before the extension, as a change of extension would keep it.
std::string_view sans_extension(std::string_view nom) {
    const auto point = nom.rfind('.');
    const auto barre = nom.rfind(separateur_dossier);
    if (point == std::string_view::npos || (barre != std::string_view::npos && point < barre))
        return nom;
    return nom.substr(0, point);
}

bool extension_dsc(std::string_view nom) {
    const auto base = sans_extension(nom);
    return base.size() < nom.size() && majuscules(nom.substr(base.size())) == extension_description;
}

// An existing "base" + any case of ".dsc" in its directory; the first by name when several.
std::optional<std::string> variante_existante(const std::string& base) {
    const auto barre = base.rfind(separateur_dossier);
    const std::string dossier = barre == std::string::npos ? "." : base.substr(0, barre + 1);
    const std::string radical = barre == std::string::npos ? base : base.substr(barre + 1);
    std::vector<std::string> trouves;
    std::error_code erreur;
    for (fs::directory_iterator it(chemin_natif(dossier), erreur), fin; !erreur && it != fin;
         it.increment(erreur)) {
        const auto nom = utf8_vers_cp1252_exact(it->path().filename().string());
        if (!nom || nom->size() != radical.size() + extension_description.size() ||
            !nom->starts_with(radical) || !extension_dsc(*nom))
            continue;
        std::error_code ignore;
        if (it->is_regular_file(ignore)) trouves.push_back(*nom);
    }
    if (trouves.empty()) return std::nullopt;
    std::sort(trouves.begin(), trouves.end());
    return base.substr(0, base.size() - radical.size()) + trouves.front();
}

// A relative directory of a description is read from the description's own folder, never
// from wherever the program was started: a description moved with its data still finds
// them. The placeholders of an unset directory stay as they are.
void resoudre_dossiers(Description& d, std::string_view chemin) {
    std::error_code ignore;
    const fs::path dossier = fs::absolute(chemin_natif(chemin), ignore).parent_path();
    for (std::string* texte :
         {&d.dossier_choisi, &d.dossier_description, &d.dossier_choisi_sortie}) {
        const std::string_view t = rogner(*texte);
        if (t.empty() || t.starts_with(separateur_dossier) || t == fr(repertoire_donnees_vide) ||
            t == fr(repertoire_description_vide) || t == fr(repertoire_sortie_vide))
            continue;
        *texte = ajouter_antislash(
            utf8_vers_cp1252((dossier / chemin_natif(t)).lexically_normal().string()));
    }
}

}  // namespace

bool nom_description_absent(std::string_view nom) {
    const auto n = rogner(nom);
    return n.empty() || n == fr(nom_description_vide) || n == fr(nom_description_vide_chemin);
}

std::string chemin_description(std::string_view dossier_description, std::string_view nom) {
    const auto n = rogner(nom);
    std::string tel_quel = std::string(dossier_description) + std::string(n);
    if (extension_dsc(n) && fichier_existe(tel_quel)) return tel_quel;
    const std::string base = std::string(dossier_description) + std::string(sans_extension(n));
    std::string majuscule = base + std::string(extension_description);
    if (fichier_existe(majuscule)) return majuscule;
    if (auto autre = variante_existante(base)) return *autre;
    // A new file keeps the ".dsc" the user sees in its name; only a name without it
    // gets the upper-case extension.
    return extension_dsc(n) ? tel_quel : majuscule;
}

ResultatLectureDescription lire_description(std::string_view dossier_description,
                                            std::string_view nom, Description& description,
                                            const ContexteDescription& contexte,
                                            JournalSuivi& journal) {
    using Etat = ResultatLectureDescription::Etat;
    ResultatLectureDescription r;
    if (nom_description_absent(nom)) return r;
    r.chemin = chemin_description(dossier_description, nom);
    if (!fichier_existe(r.chemin)) {
        r.etat = Etat::introuvable;
        r.message = fr(" Fichier de description <") + nom_de_fichier(r.chemin) +
                    fr("> introuvable dans le dossier") + "\n\n" + "<" +
                    dossier_de_fichier(r.chemin) + ">";
        return r;
    }
    const auto contenu = lire_fichier(r.chemin);
    if (!contenu) {
        // There but unreadable (rights, a file being replaced): nothing changes.
        r.etat = Etat::illisible;
        r.message = fr("Impossible d'ouvrir le fichier ") + r.chemin;
        return r;
    }
    if (!contient_une_cle(*contenu)) {
        r.etat = Etat::illisible;
        r.message = fr(" Le fichier de description <") + r.chemin +
                    fr(">\n\n ne contient aucune clé (fichier vide, binaire ou enregistré dans "
                       "un autre codage) : il n'est pas lu");
        return r;
    }
    const auto lecture = lire_description_texte(*contenu, description, contexte, journal);
    resoudre_dossiers(description, r.chemin);
    r.etat = lecture.complete() ? Etat::lue : Etat::interrompue;
    r.message = lecture.erreur;
    return r;
}

ResultatEcritureDescription ecrire_description(std::string_view dossier_description,
                                               std::string_view nom,
                                               const Description& description) {
    using Etat = ResultatEcritureDescription::Etat;
    ResultatEcritureDescription r;
    if (nom_description_absent(nom)) return r;
    r.chemin = chemin_description(dossier_description, nom);
    try {
        ecrire_fichier_atomique(r.chemin, ecrire_description_texte(description));
        r.etat = Etat::ecrite;
    } catch (const ErreurFichier&) {
        r.etat = Etat::echec;
        std::string m = fr("Impossible de créer le fichier %s");
        r.message = m.replace(m.find("%s"), 2, r.chemin);
    }
    return r;
}

CouleursEnregistrement af_coul_si_f_modif(bool f_modif,
                                          std::string_view texte_Label_rep_description) {
    CouleursEnregistrement c;
    if (texte_Label_rep_description != fr(repertoire_description_vide))
        c.SpeedButton_Enregistrer_dsc_rouge = f_modif;
    else
        c.SpeedButton_enreg_description_rouge = f_modif;
    return c;
}

}  // namespace tarvo
