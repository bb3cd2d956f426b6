#include "inventory/prelecture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "description/description.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "formats/nombres.h"
#include "formats/texte.h"
#include "inventory/octets_fichier.h"
#include "plateforme/dialogue.h"

namespace tarvo {

namespace {

// Appends the offset that follows every `Fin` byte (the room is reserved by the caller).
// Splitting at LF, tells whether some CR stands alone, not followed by an LF.
template <char Fin>
bool debuts_apres(const char* p, std::size_t n, std::vector<std::size_t>& debuts) {
    std::size_t i = 0;
    bool cr_seul = false;
    bool cr_avant = false;  // the byte before i is a CR
#if defined(__SSE2__)
    // Sixteen bytes compared at once: a file of short lines is split at memory speed.
    const __m128i cible = _mm_set1_epi8(Fin);
    const __m128i retour = _mm_set1_epi8('\r');
    unsigned seuls = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        auto masque = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bloc, cible)));
        if constexpr (Fin == '\n') {
            const auto cr = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bloc, retour)));
            // A CR in the last byte is settled by the first byte of the next block.
            seuls |=
                (static_cast<unsigned>(cr_avant) & ~masque & 1u) | (cr & ~(masque >> 1) & 0x7FFFu);
            cr_avant = (cr >> 15) != 0;
        }
        for (; masque != 0; masque &= masque - 1)
            debuts.push_back(i + static_cast<std::size_t>(std::countr_zero(masque)) + 1);
    }
    cr_seul = seuls != 0;
#endif
    for (; i < n; ++i) {
        if (p[i] == Fin) debuts.push_back(i + 1);
        if (cr_avant && p[i] != '\n') cr_seul = true;
        cr_avant = p[i] == '\r';
    }
    return cr_seul || cr_avant;
}

}  // namespace

std::string_view TamponLignes::ligne(int i) const {
    if (i < 0 || i >= nb_lignes()) return {};
    const std::size_t debut = debuts_[static_cast<std::size_t>(i)];
    std::size_t fin = debuts_[static_cast<std::size_t>(i) + 1];
    const char* p = octets_.get();
    if (fin > debut && p[fin - 1] == '\n') --fin;
    if (fin > debut && p[fin - 1] == '\r') --fin;
    return {p + debut, fin - debut};
}

void TamponLignes::vider() {
    octets_.reset();
    taille_ = 0;
    debuts_.clear();
    debuts_.shrink_to_fit();
}

void TamponLignes::decouper(std::size_t nb_lf, std::size_t nb_cr) {
    debuts_.clear();
    const char* p = octets_.get();
    const std::size_t n = taille_;
    if (n == 0) return;
    if (nb_lf + nb_cr >= static_cast<std::size_t>(INT_MAX))
        throw ErreurFichier(fr("trop de lignes dans le fichier"));
    if (nb_cr == 0 || nb_lf == 0) {
        debuts_.reserve((nb_cr == 0 ? nb_lf : nb_cr) + 2);
        debuts_.push_back(0);
        if (nb_cr == 0)
            debuts_apres<'\n'>(p, n, debuts_);
        else
            debuts_apres<'\r'>(p, n, debuts_);
    } else {
        // Both kinds: most often every CR comes just before an LF, and the split at LF
        // notices any CR that stands alone.
        debuts_.reserve(nb_lf + 2);
        debuts_.push_back(0);
        if (debuts_apres<'\n'>(p, n, debuts_)) {
            // Some CR stands alone and ends a line of its own.
            debuts_ = std::vector<std::size_t>();
            debuts_.reserve(nb_lf + nb_cr + 2);
            debuts_.push_back(0);
            std::size_t i = 0;
            while (i < n) {
                const char* q = static_cast<const char*>(std::memchr(p + i, '\n', n - i));
                const std::size_t k = q ? static_cast<std::size_t>(q - p) : n;
                for (std::size_t j = i;;) {
                    const char* r = static_cast<const char*>(std::memchr(p + j, '\r', k - j));
                    if (r == nullptr) break;
                    const std::size_t m = static_cast<std::size_t>(r - p);
                    if (q != nullptr && m + 1 == k) break;
                    debuts_.push_back(m + 1);
                    j = m + 1;
                }
                if (q == nullptr) break;
                debuts_.push_back(k + 1);
                i = k + 1;
            }
        }
    }
    // After a final line end the last start is already the end of the bytes.
    if (debuts_.back() != n) debuts_.push_back(n);
}

void TamponLignes::charger(std::string_view contenu) {
    vider();
    taille_ = contenu.size();
    octets_ = std::make_unique_for_overwrite<char[]>(taille_);
    if (taille_ > 0) std::memcpy(octets_.get(), contenu.data(), taille_);
    const Comptes c = compter(octets_.get(), taille_, false);
    decouper(c.lf, c.cr);
}

class ChargeurFichier {
public:
    static void adopter(TamponLignes& tampon, std::unique_ptr<char[]> octets, std::size_t taille,
                        const Comptes& comptes) {
        tampon.octets_ = std::move(octets);
        tampon.taille_ = taille;
        tampon.decouper(comptes.lf, comptes.cr);
    }
};

bool prelire_fichier(std::string_view chemin, long long taille, const Description& description,
                     ModeEntree mode, TamponLignes& tampon, JournalSuivi& journal,
                     Dialogue& dialogue) {
    const bool tabulation =
        description.RadioGroup_separateur_colonne_ItemIndex == Separateur::tabulation;
    const FichierDonnees ouvert = ouvrir_fichier_donnees(chemin, mode, dialogue);
    if (!ouvert.descripteur.ouvert()) return false;
    const Descripteur& fichier = ouvert.descripteur;

    // The previous file's bytes go first, so that two files never sit in memory at once.
    tampon.vider();
    const auto prevu = static_cast<std::size_t>(std::max<long long>(ouvert.taille, 0));
    auto octets = std::make_unique_for_overwrite<char[]>(prevu);
    char* p = octets.get();
    // Each piece is counted as soon as it is read, while it is still in the cache; a file
    // marked with its encoding is converted whole first.
    constexpr std::size_t morceau = std::size_t{1} << 20;
    std::size_t lu = 0;
    std::size_t compte = 0;
    std::optional<bool> marque;
    Comptes comptes;
    while (lu < prevu) {
        const std::size_t r =
            lire_octets(fichier.fd(), p + lu, std::min(morceau, prevu - lu), chemin);
        if (r == 0) break;
        lu += r;
        if (!marque && lu >= 3) marque = marque_codage(p, lu);
        if (marque == false) {
            comptes += compter(p + compte, lu - compte, tabulation);
            compte = lu;
        }
    }
    if (!marque) marque = marque_codage(p, lu);
    std::size_t n = lu;
    if (*marque) {
        n = convertir_selon_bom(p, lu);
        comptes = compter(p, n, tabulation);
    } else if (compte < lu) {
        comptes += compter(p + compte, lu - compte, tabulation);
    }
    // NUL bytes end no line: the split can come first, and tell whether the file is short.
    ChargeurFichier::adopter(tampon, std::move(octets), n, comptes);

    const long long num_ligne_donnee = lire_entier(description.Edit_num_ligne_donnee).value_or(0);
    const bool court = tampon.nb_lignes() < num_ligne_donnee + 2;
    const bool car_null = description.CheckBox_car_null;

    if (n == 0 && !(mode == ModeEntree::presse_papier && !tabulation))
        journal.ajouter_probleme(ProblemeSuivi::fichier_vide,
                                 fr("fichier VIDE => ") + std::string(chemin));

    if (const char par = remplacement_nul(tabulation, car_null, court, mode); comptes.nul && par)
        remplacer_nul(p, n, par);

    // A clipboard too short for the data lines is most likely a copy gone wrong.
    if (mode == ModeEntree::presse_papier && !tabulation && court) {
        std::string texte = fr(" le presse papier ne contient que ") + std::to_string(taille) +
                            fr(" octets\n\n") + fr(" 3 premières lignes :\n") +
                            "==============================\n";
        for (int i = 0; i < 3 && i < tampon.nb_lignes(); ++i)
            texte.append(tampon.ligne(i)).append("\n");
        texte += "==============================\n\n";
        texte += fr(" => Annuler pour   Recopier les données du fichier Excel");
        dialogue.message_perso(IdMessage::presse_papier_trop_court, texte,
                               TypeMessage::avertissement, fr("Annuler"));
        return false;
    }
    return true;
}

std::vector<std::string> apercu_tampon(const TamponLignes& tampon) {
    std::vector<std::string> apercu;
    for (int i = 0; i < 21 && i < tampon.nb_lignes(); ++i) {
        std::string l(tampon.ligne(i));
        for (char& c : l)
            if (c == ';' || c == '\0') c = '\t';
        apercu.push_back(reparer_accents(l));
    }
    apercu.emplace_back("=================================================");
    apercu.push_back(fr("cet affichage n'est qu'une partie du fichier..."));
    apercu.emplace_back("    double click pour affichage complet");
    return apercu;
}

bool copier_en_remplacant(std::string_view source, char a, std::string_view destination, char b,
                          JournalSuivi& journal, Dialogue& dialogue) {
    std::error_code erreur;
    if (!std::filesystem::is_regular_file(chemin_natif(source), erreur)) {
        dialogue.message(IdMessage::fichier_inexistant,
                         fr("fichier inexistant\n") + std::string(source), TypeMessage::erreur);
        // An empty std::string, not {}: the writer hands its data() to fwrite, never null.
        ecrire_fichier_atomique(destination, std::string());
        return false;
    }
    std::optional<std::string> contenu = lire_fichier(source);
    if (!contenu) throw ErreurFichier(fr("Impossible de lire ") + std::string(source));
    if (contenu->empty()) {
        journal.ajouter_probleme(ProblemeSuivi::fichier_vide,
                                 fr("fichier VIDE => ") + std::string(source));
        ecrire_fichier_atomique(destination, std::string());
        return false;
    }
    std::replace(contenu->begin(), contenu->end(), a, b);
    ecrire_fichier_atomique(destination, *contenu);
    return true;
}

}  // namespace tarvo
