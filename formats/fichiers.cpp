#include "formats/fichiers.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>
#include <system_error>

#include "formats/cp1252.h"
#include "formats/provisoire.h"
#include "formats/texte.h"

namespace tarvo {

namespace fs = std::filesystem;

std::string cause_systeme(int numero_erreur) {
    switch (numero_erreur) {
        case EACCES:
        case EPERM:
            return fr("accès refusé (droits insuffisants)");
        case ENOENT:
            return fr("fichier ou dossier inexistant");
        case ENOSPC:
        case EDQUOT:
            return fr("disque plein");
        case EROFS:
            return fr("disque en lecture seule");
        case EIO:
            return fr("erreur d'entrée-sortie du disque");
        case ELOOP:
            return fr("trop de liens symboliques (boucle)");
        case ENAMETOOLONG:
            return fr("nom trop long");
        case EISDIR:
            return fr("c'est un dossier");
        case ENOTDIR:
            return fr("un élément du chemin n'est pas un dossier");
        case EMFILE:
        case ENFILE:
            return fr("trop de fichiers ouverts");
        case ENOMEM:
            return fr("mémoire insuffisante");
        case EFBIG:
            return fr("fichier trop grand");
        case EBUSY:
        case ETXTBSY:
        case EWOULDBLOCK:
            return fr("fichier occupé par une autre application");
        default:
            return fr("erreur système n° ") + std::to_string(numero_erreur);
    }
}

std::string texte_exception(const std::exception& e) {
    if (dynamic_cast<const ErreurFichier*>(&e) != nullptr) return e.what();
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr)
        return fr(
            "mémoire insuffisante pour ce traitement : fermer d'autres applications ou "
            "traiter une période plus courte");
    if (const auto* f = dynamic_cast<const fs::filesystem_error*>(&e)) {
        std::string texte = fr("opération impossible sur ") + utf8_vers_cp1252(f->path1().string());
        if (!f->path2().empty()) texte += fr(" et ") + utf8_vers_cp1252(f->path2().string());
        return texte + " : " + cause_systeme(f->code().value());
    }
    return fr("erreur interne : ") + utf8_vers_cp1252(e.what());
}

fs::path chemin_natif(std::string_view chemin) {
    return fs::path(cp1252_vers_utf8(chemin));
}

std::optional<std::string> chemin_absolu(std::string_view chemin) {
    std::error_code e;
    const fs::path absolu = fs::absolute(chemin_natif(chemin), e).lexically_normal();
    if (e) return std::nullopt;
    return utf8_vers_cp1252_exact(absolu.string());
}

std::string nom_de_fichier(std::string_view chemin) {
    const auto barre = chemin.rfind(separateur_dossier);
    return std::string(barre == std::string_view::npos ? chemin : chemin.substr(barre + 1));
}

std::string dossier_de_fichier(std::string_view chemin) {
    const auto barre = chemin.rfind(separateur_dossier);
    return barre == std::string_view::npos ? std::string()
                                           : std::string(chemin.substr(0, barre + 1));
}

bool dossier_existe(std::string_view chemin) {
    if (chemin.empty()) return false;
    std::error_code ignore;
    return std::filesystem::is_directory(chemin_natif(chemin), ignore);
}

bool existe(std::string_view chemin) {
    std::error_code ignore;
    return !chemin.empty() && fs::exists(chemin_natif(chemin), ignore);
}

std::optional<std::string> lire_fichier(std::string_view chemin) {
    std::ifstream f(chemin_natif(chemin), std::ios::binary);
    if (!f) return std::nullopt;
    std::string contenu;
    f.seekg(0, std::ios::end);
    const auto taille = f.tellg();
    if (taille > 0) {
        contenu.resize(static_cast<std::size_t>(taille));
        f.seekg(0);
        f.read(contenu.data(), taille);
        contenu.resize(static_cast<std::size_t>(f.gcount()));
    }
    if (f.bad()) return std::nullopt;
    return contenu;
}

std::vector<std::string_view> decouper_lignes(std::string_view contenu) {
    std::vector<std::string_view> lignes;
    pour_chaque_ligne(contenu, [&](std::string_view ligne) { lignes.push_back(ligne); });
    return lignes;
}

void pour_chaque_ligne(std::string_view contenu, const std::function<void(std::string_view)>& f) {
    std::size_t debut = 0;
    while (debut < contenu.size()) {
        const std::size_t fin = contenu.find_first_of("\r\n", debut);
        if (fin == std::string_view::npos) {
            f(contenu.substr(debut));
            break;
        }
        f(contenu.substr(debut, fin - debut));
        debut = fin + 1;
        if (contenu[fin] == '\r' && debut < contenu.size() && contenu[debut] == '\n') ++debut;
    }
}

std::string lire_ligne_parametre(std::string_view fichier, int n) {
    if (n < 1) return {};
    const auto contenu = lire_fichier(fichier);
    if (!contenu) return {};
    const auto lignes = decouper_lignes(*contenu);
    return static_cast<std::size_t>(n) <= lignes.size() ? std::string(lignes[n - 1])
                                                        : std::string();
}

void ecrire_fichier_une_ligne(std::string_view texte, std::string_view fichier) {
    std::string contenu(texte);
    ecrire_fichier_atomique(fichier, contenu.append("\r\n"));
}

std::string ecrire_ligne_parametre(std::string_view texte, std::string_view fichier, int n) {
    if (n > max_parametre)
        return " max_parametre = " + std::to_string(max_parametre) +
               "\n augmenter ce nombre dans le source...";
    if (n < 1) throw std::invalid_argument("ecrire_ligne_parametre : ligne " + std::to_string(n));
    const std::string ancien = lire_fichier(fichier).value_or(std::string());
    const auto anciennes = decouper_lignes(ancien);
    std::string contenu;
    for (int i = 1; i <= max_parametre; ++i) {
        if (i == n)
            contenu.append(texte);
        else if (static_cast<std::size_t>(i) <= anciennes.size())
            contenu.append(anciennes[i - 1]);
        contenu.append("\r\n");
    }
    ecrire_fichier_atomique(fichier, contenu);
    return {};
}

namespace {

struct Entree {
    std::string nom;  // Windows-1252
    std::string cle;  // upper-cased name: the listing order
    fs::path chemin;
    bool dossier;
    bool ordinaire;  // a regular file, or a link to one
};

std::string nature(const fs::path& p) {
    std::error_code e;
    const fs::file_status propre = fs::symlink_status(p, e);
    if (e || !fs::exists(propre)) return {};
    const bool lien = fs::is_symlink(propre);
    const fs::file_status cible = lien ? fs::status(p, e) : propre;
    if (lien && (e || !fs::exists(cible))) return "un lien sans cible";
    std::string quoi;
    switch (cible.type()) {
        case fs::file_type::regular:
            return {};
        case fs::file_type::directory:
            quoi = fr("un répertoire");
            break;
        case fs::file_type::fifo:
            quoi = fr("un tube nommé (FIFO)");
            break;
        case fs::file_type::block:
        case fs::file_type::character:
            quoi = fr("un périphérique");
            break;
        case fs::file_type::socket:
            quoi = "une socket";
            break;
        default:
            quoi = fr("un fichier spécial");
            break;
    }
    return lien ? "un lien vers " + quoi : quoi;
}

std::string extension_majuscule(std::string_view nom) {
    const auto point = nom.rfind('.');
    return point == std::string_view::npos ? std::string() : majuscules(nom.substr(point));
}

// "*" any run of characters, "?" one; both texts upper-cased.
bool motif_correspond(std::string_view nom, std::string_view motif) {
    std::size_t n = 0, m = 0;
    std::size_t etoile = std::string_view::npos, reprise = 0;
    while (n < nom.size()) {
        if (m < motif.size() && (motif[m] == '?' || motif[m] == nom[n])) {
            ++n;
            ++m;
        } else if (m < motif.size() && motif[m] == '*') {
            etoile = m++;
            reprise = n;
        } else if (etoile != std::string_view::npos) {
            // The last "*" takes one more character, and the rest is tried again after it.
            m = etoile + 1;
            n = ++reprise;
        } else {
            return false;
        }
    }
    while (m < motif.size() && motif[m] == '*') ++m;
    return m == motif.size();
}

void parcourir(const fs::path& racine, const std::string& relatif, const MasqueFichiers& masque,
               bool recursif, ListeFichiers& liste) {
    std::error_code erreur;
    fs::directory_iterator it(racine, erreur);
    if (erreur) return;
    std::vector<Entree> entrees;
    for (; it != fs::directory_iterator(); it.increment(erreur)) {
        if (erreur) break;
        const fs::directory_entry& e = *it;
        const std::string utf8 = e.path().filename().string();
        auto nom = utf8_vers_cp1252_exact(utf8);
        if (!nom) {
            liste.noms_ignores.push_back(utf8);
            continue;
        }
        std::error_code ignore;
        // A linked directory is not walked: a link back up would never end.
        const bool dossier = e.is_directory(ignore) && !e.is_symlink(ignore);
        const bool cache = nom->starts_with('.');
        if (dossier && cache) continue;
        const bool ordinaire = !dossier && e.is_regular_file(ignore);
        std::string cle = majuscules(*nom);
        entrees.push_back({std::move(*nom), std::move(cle), e.path(), dossier, ordinaire});
    }
    std::sort(entrees.begin(), entrees.end(),
              [](const Entree& a, const Entree& b) { return a.cle < b.cle; });
    for (const Entree& e : entrees) {
        if (e.dossier && recursif) {
            parcourir(e.chemin, relatif + e.nom + separateur_dossier, masque, recursif, liste);
            continue;
        }
        if (!masque.correspond(e.nom)) continue;
        if (contient(e.nom, "~")) continue;
        if (!e.ordinaire) {
            // A FIFO would block the reading, a device never end it: said, never read.
            if (std::string quoi = nature(e.chemin); !quoi.empty())
                liste.non_lus.push_back({relatif + e.nom, std::move(quoi)});
            continue;
        }
        std::error_code ignore;
        const auto taille = fs::file_size(e.chemin, ignore);
        if (liste.premier.empty()) liste.premier = e.nom;
        liste.lignes.push_back(relatif + "  \t" + e.nom + "  \t" +
                               std::to_string(ignore ? 0 : taille));
    }
}

}  // namespace

std::string nature_non_ordinaire(std::string_view chemin) {
    return nature(chemin_natif(chemin));
}

MasqueFichiers::MasqueFichiers(std::string_view masque) {
    motif_ = majuscules(masque);
    // "*.*" keeps its old meaning: names without any dot too.
    tous_ = motif_ == "*.*";
    std::string_view ext = motif_;
    if (ext.starts_with("*.")) ext.remove_prefix(1);
    if (ext.starts_with('.')) ext.remove_prefix(1);
    if (!ext.empty() && ext.find_first_of("*?.") == std::string_view::npos)
        extension_ = "." + std::string(ext);
}

bool MasqueFichiers::correspond(std::string_view nom) const {
    if (tous_) return true;
    if (!extension_.empty()) return extension_majuscule(nom) == extension_;
    return motif_correspond(majuscules(nom), motif_);
}

ListeFichiers lister_fichiers(std::string_view dossier, std::string_view masque, bool recursif) {
    ListeFichiers liste;
    parcourir(chemin_natif(ajouter_antislash(dossier)), "", MasqueFichiers(masque), recursif,
              liste);
    return liste;
}

ListeFichiers lister_fichier_converti(std::string_view chemin) {
    ListeFichiers liste;
    const fs::path p = chemin_natif(chemin);
    std::error_code erreur;
    const auto taille = fs::file_size(p, erreur);
    std::string dossier = dossier_de_fichier(chemin);
    if (!dossier.empty()) dossier.pop_back();  // this line names it without its separator
    const std::string nom = nom_de_fichier(chemin);
    liste.premier = nom;
    liste.lignes.push_back(dossier + "  \t" + nom + "  \t" + std::to_string(erreur ? 0 : taille));
    return liste;
}

}  // namespace tarvo
