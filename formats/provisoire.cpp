#include "formats/provisoire.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "formats/cp1252.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

std::atomic<CrochetEcriture> crochet{nullptr};

int appeler_crochet(EtapeEcriture etape, const fs::path& chemin) {
    const CrochetEcriture c = crochet.load();
    return c != nullptr ? c(etape, chemin.c_str()) : 0;
}

// Where the replacement of a pair stands; the interruption handler and the writer each move
// it out of `aucun` with one exchange, so only one of them acts.
enum EtatRemplacement : int { aucun, interrompu, en_cours, fait };
std::atomic<int> remplacement{aucun};
static_assert(std::atomic<int>::is_always_lock_free);

// Eight letters or digits nobody can guess: a temporary's name cannot be prepared in advance.
std::string suffixe_aleatoire() {
    static constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::array<unsigned char, 8> octets{};
    std::size_t lus = 0;
    while (lus < octets.size()) {
        const ssize_t n = ::getrandom(octets.data() + lus, octets.size() - lus, 0);
        if (n < 0 && errno != EINTR) throw ErreurFichier(fr("Aléa du système indisponible"));
        if (n > 0) lus += static_cast<std::size_t>(n);
    }
    std::string s;
    for (const unsigned char o : octets) s += alphabet[o % alphabet.size()];
    return s;
}

// What stands at a name that a file may not replace.
std::string nature_interdite(mode_t mode) {
    if (S_ISDIR(mode)) return fr("c'est un dossier");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return fr("c'est un périphérique");
    if (S_ISFIFO(mode)) return fr("c'est un tube nommé (fifo)");
    if (S_ISSOCK(mode)) return fr("c'est une socket");
    return {};
}

// The temporaries an interruption handler must remove. A slot is filled, then marked
// ready, before its file is created, and freed only once the file is renamed or removed.
constexpr int nb_emplacements = 8;
constexpr std::size_t taille_chemin = 4096;
enum EtatEmplacement : int { libre, rempli, pret };
struct Emplacement {
    std::atomic<int> etat{libre};
    std::array<char, taille_chemin> chemin{};
};
std::array<Emplacement, nb_emplacements> provisoires;

int reserver_emplacement(const fs::path& chemin) {
    const std::string& texte = chemin.native();
    if (texte.size() >= taille_chemin) return -1;
    for (int i = 0; i < nb_emplacements; ++i) {
        Emplacement& e = provisoires[static_cast<std::size_t>(i)];
        int attendu = libre;
        if (!e.etat.compare_exchange_strong(attendu, rempli)) continue;
        std::copy(texte.begin(), texte.end(), e.chemin.begin());
        e.chemin[texte.size()] = '\0';
        e.etat.store(pret);
        return i;
    }
    return -1;
}

void liberer_emplacement(int& emplacement) noexcept {
    if (emplacement >= 0) provisoires[static_cast<std::size_t>(emplacement)].etat.store(libre);
    emplacement = -1;
}

// The old version kept under a second name until the pair is in place; empty when there is
// none, or when the file system cannot link (it then cannot be put back).
fs::path garder_ancien(const fs::path& cible) {
    for (int essai = 0; essai < 100; ++essai) {
        fs::path copie = cible;
        copie += ".~ancien" + suffixe_aleatoire();
        // Without AT_SYMLINK_FOLLOW a link at the name is kept as the link it is.
        if (::linkat(AT_FDCWD, cible.c_str(), AT_FDCWD, copie.c_str(), 0) == 0) return copie;
        if (errno != EEXIST) break;
    }
    return {};
}

}  // namespace

void definir_crochet_ecriture(CrochetEcriture c) noexcept {
    crochet.store(c);
}

bool interruption_possible() noexcept {
    int etat = aucun;
    return remplacement.compare_exchange_strong(etat, interrompu) || etat == interrompu;
}

void retirer_fichiers_provisoires() noexcept {
    for (Emplacement& e : provisoires)
        if (e.etat.load() == pret) ::unlink(e.chemin.data());
}

FichierProvisoire::FichierProvisoire(std::string_view chemin, std::string_view contenu,
                                     Synchroniser synchroniser, Lien lien)
    : FichierProvisoire(
          chemin, [contenu](const EcrireMorceau& ecrire) { ecrire(contenu); }, synchroniser, lien) {
}

FichierProvisoire::FichierProvisoire(std::string_view chemin, const ProduireTexte& produire,
                                     Synchroniser synchroniser, Lien lien)
    : chemin_(chemin), cible_(chemin_natif(chemin)) {
    if (chemin.find('\0') != std::string_view::npos)
        throw ErreurFichier(fr("Impossible de créer ") + chemin_ +
                            fr(" : le nom contient un caractère nul"));
    std::error_code absent;
    if (lien == Lien::suivre && fs::is_symlink(cible_, absent))
        cible_ = fs::weakly_canonical(cible_, absent);
    struct stat ancien {};
    const bool ancien_present = ::lstat(cible_.c_str(), &ancien) == 0;
    if (ancien_present) {
        if (const std::string nature = nature_interdite(ancien.st_mode); !nature.empty())
            throw ErreurFichier(fr("Impossible de remplacer ") + chemin_ + " : " + nature);
    }
    int fd = -1;
    for (int essai = 0; fd < 0; ++essai) {
        // The "~" keeps the unfinished copy out of every listing.
        provisoire_ = cible_;
        provisoire_ += ".~ecriture" + suffixe_aleatoire();
        emplacement_ = reserver_emplacement(provisoire_);
        int erreur = appeler_crochet(EtapeEcriture::creation, provisoire_);
        if (erreur == 0) {
            // Exclusive and never through a link: a name planted in a shared folder is refused.
            fd = ::open(provisoire_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        0666);
            erreur = errno;
        }
        if (fd >= 0) break;
        if (erreur != EEXIST || essai >= 100) echec("Impossible de créer", erreur);
        liberer_emplacement(emplacement_);
    }
    cree_ = true;
    bool ecrit = true;
    int erreur = 0;
    try {
        produire([&](std::string_view morceau) {
            for (std::size_t fait = 0; ecrit && fait < morceau.size();) {
                const ssize_t n = ::write(fd, morceau.data() + fait, morceau.size() - fait);
                if (n > 0) fait += static_cast<std::size_t>(n);
                ecrit = n > 0 || (n < 0 && errno == EINTR);
                if (!ecrit) erreur = n < 0 ? errno : EIO;
            }
        });
    } catch (...) {
        ::close(fd);
        liberer();
        throw;
    }
    // The new file keeps the permissions the user gave the old one.
    if (ecrit && ancien_present && S_ISREG(ancien.st_mode) &&
        ::fchmod(fd, ancien.st_mode & 07777) != 0) {
        ecrit = false;
        erreur = errno;
    }
    if (ecrit && synchroniser(fd) != 0) {
        ecrit = false;
        erreur = errno;
    }
    if (::close(fd) != 0 && ecrit) {
        ecrit = false;
        erreur = errno;
    }
    if (!ecrit) echec("Impossible d'écrire", erreur);
}

FichierProvisoire::~FichierProvisoire() {
    liberer();
}

void FichierProvisoire::liberer() noexcept {
    if (cree_ && !en_place_) ::unlink(provisoire_.c_str());
    cree_ = false;
    liberer_emplacement(emplacement_);
}

void FichierProvisoire::mettre_en_place() {
    if (std::rename(provisoire_.c_str(), cible_.c_str()) != 0)
        echec("Impossible de remplacer", errno);
    en_place_ = true;
    liberer_emplacement(emplacement_);
}

void FichierProvisoire::echec(const char* quoi, int numero_erreur) {
    // A throwing constructor runs no destructor.
    liberer();
    throw ErreurFichier(fr(quoi) + " " + chemin_ + " : " + cause_systeme(numero_erreur));
}

void ecrire_fichier_atomique(std::string_view chemin, std::string_view contenu) {
    FichierProvisoire(chemin, contenu).mettre_en_place();
}

void ecrire_fichier_atomique(std::string_view chemin, const ProduireTexte& produire) {
    FichierProvisoire(chemin, produire).mettre_en_place();
}

void mettre_en_place_paire(FichierProvisoire& premier, FichierProvisoire& second) {
    // A test stops the program here, or fails the first rename.
    int erreur = appeler_crochet(EtapeEcriture::avant_renommages, premier.cible_);
    // From here on an interruption waits for the pair: stopping between the renames would split
    // it, and stopping after them would call a finished run interrupted.
    int etat = remplacement.load();
    do {
        // The handler is already removing the temporaries and ending the program.
        if (etat == interrompu) premier.echec("Impossible de remplacer", EINTR);
    } while (!remplacement.compare_exchange_weak(etat, en_cours));
    struct stat ancien {};
    const bool ancien_present = ::lstat(premier.cible_.c_str(), &ancien) == 0;
    const fs::path copie = ancien_present ? garder_ancien(premier.cible_) : fs::path();
    const auto retirer_copie = [&] {
        if (!copie.empty()) ::unlink(copie.c_str());
    };
    if (erreur == 0 && std::rename(premier.provisoire_.c_str(), premier.cible_.c_str()) != 0)
        erreur = errno;
    if (erreur != 0) {
        retirer_copie();
        remplacement.store(aucun);
        premier.echec("Impossible de remplacer", erreur);
    }
    premier.en_place_ = true;
    premier.liberer();

    erreur = appeler_crochet(EtapeEcriture::entre_renommages, second.cible_);
    if (erreur == 0 && std::rename(second.provisoire_.c_str(), second.cible_.c_str()) != 0)
        erreur = errno;
    if (erreur == 0) {
        second.en_place_ = true;
        second.liberer();
        retirer_copie();
        remplacement.store(fait);
        appeler_crochet(EtapeEcriture::apres_renommages, second.cible_);
        return;
    }
    const bool remis =
        ancien_present ? !copie.empty() && std::rename(copie.c_str(), premier.cible_.c_str()) == 0
                       : ::unlink(premier.cible_.c_str()) == 0;
    if (!remis) {
        retirer_copie();
        remplacement.store(fait);
        const std::string raison = cause_systeme(erreur);
        second.liberer();
        throw PaireScindee(fr("Impossible de remplacer ") + second.chemin_ + " : " + raison);
    }
    remplacement.store(aucun);
    second.echec("Impossible de remplacer", erreur);
}

}  // namespace tarvo
