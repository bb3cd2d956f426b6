// Writes that never leave a half file: a temporary beside the target, renamed over it, and
// two files that go together (a result and its tracking file) put in place as one step.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "formats/fichiers.h"

namespace tarvo {

// The named moments of a write where a test stops the program or fails the next system call.
enum class EtapeEcriture {
    creation,          // before a temporary is created: an error code fails its creation
    avant_renommages,  // both temporaries whole, nothing replaced yet
    entre_renommages,  // the first file in place: an error code fails the second rename
    apres_renommages,  // the pair in place
};
// Returns 0 to go on, or an errno that fails the system call the step comes before.
using CrochetEcriture = int (*)(EtapeEcriture etape, const char* chemin);
// None by default; a test installs one and removes it with nullptr.
void definir_crochet_ecriture(CrochetEcriture crochet) noexcept;

// Hands each piece of a text made piece by piece to the file, so that a long text is never
// held whole.
using EcrireMorceau = std::function<void(std::string_view)>;
using ProduireTexte = std::function<void(const EcrireMorceau&)>;

// What a link at the target's name does: a description or a settings file saved through a
// link replaces the file it points to; a result replaces the link itself, in its own folder.
enum class Lien { suivre, remplacer };

// The whole text synced to a temporary of a fresh name beside the target ("~" in it keeps it
// out of every listing), not yet in place, so that files which go together can all be written
// before any replaces its old version. The temporary is created exclusively, never through a
// link. A target that is a directory, device, pipe or socket is refused. Removed on
// destruction unless put in place. Throws ErreurFichier.
class FichierProvisoire {
public:
    // Flushes a descriptor to the disk; a parameter so that a test can see the call happen.
    using Synchroniser = int (*)(int descripteur);

    FichierProvisoire(std::string_view chemin, std::string_view contenu,
                      Synchroniser synchroniser = ::fsync, Lien lien = Lien::suivre);
    FichierProvisoire(std::string_view chemin, const ProduireTexte& produire,
                      Synchroniser synchroniser = ::fsync, Lien lien = Lien::suivre);
    ~FichierProvisoire();
    FichierProvisoire(const FichierProvisoire&) = delete;
    FichierProvisoire& operator=(const FichierProvisoire&) = delete;

    // Renames it over the target. Throws ErreurFichier, the temporary removed.
    void mettre_en_place();

    const std::filesystem::path& provisoire() const { return provisoire_; }

private:
    friend void mettre_en_place_paire(FichierProvisoire& premier, FichierProvisoire& second);
    [[noreturn]] void echec(const char* quoi, int numero_erreur);
    void liberer() noexcept;
    std::string chemin_;
    std::filesystem::path cible_;
    std::filesystem::path provisoire_;
    int emplacement_ = -1;  // in the list the interruption handler reads
    bool cree_ = false;
    bool en_place_ = false;
};

// Writes beside the target and renames over it, so a failure never leaves a half file:
// the old file stays whole. Throws ErreurFichier.
void ecrire_fichier_atomique(std::string_view chemin, std::string_view contenu);
void ecrire_fichier_atomique(std::string_view chemin, const ProduireTexte& produire);

// Puts both in place as one step: the old pair or the new one, never one of each. When the
// second cannot replace its old version, the first target's old version (kept as a hard link
// until the pair is in place) is put back, or the new first file removed when there was none.
// Throws ErreurFichier, or PaireScindee when even that failed: the new first file stands
// beside the old second one.
class PaireScindee : public ErreurFichier {
public:
    using ErreurFichier::ErreurFichier;
};
void mettre_en_place_paire(FichierProvisoire& premier, FichierProvisoire& second);

// For the interruption handler, which may only call async-signal-safe functions:
// true when the program may stop now, its temporaries removed (nothing was replaced, and no
// rename will start after this call); false once a pair is being or has been put in place,
// the run then ends on its own and says what it did.
bool interruption_possible() noexcept;

// Removes every temporary still being written or waiting to be put in place. The one thing
// an interruption handler may call here: async-signal-safe, the paths kept ready beforehand.
void retirer_fichiers_provisoires() noexcept;

}  // namespace tarvo
