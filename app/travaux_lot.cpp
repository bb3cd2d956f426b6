#include "app/travaux_lot.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>

#include "app/plateforme_lot.h"

extern char** environ;

namespace tarvo {

namespace {

int gravite(int statut) {
    switch (statut) {
        case 0:
            return 0;
        case 4:
            return 1;
        case 3:
            return 2;
        case 2:
            return 4;
        default:
            return 3;
    }
}

// A child under way: its process, the read ends of its two outputs, its description.
struct Enfant {
    pid_t pid = -1;
    int sortie = -1;
    int erreurs = -1;
    std::size_t indice = 0;
};

volatile std::sig_atomic_t signal_recu = 0;

extern "C" void noter_signal(int s) {
    signal_recu = s;
}

constexpr std::array signaux_arret{SIGINT, SIGTERM, SIGHUP};

// The children are one process each, not threads: a conversion keeps process-wide state (its
// work directory, the temporary files its interruption handler removes, standard input and
// error), and a child gives every description exactly the outputs and status of a call on
// it alone, whatever happens to the others.
std::optional<Enfant> demarrer(const std::string& programme, std::vector<std::string> arguments,
                               std::string& erreur) {
    std::array<int, 2> sortie{}, erreurs{};
    if (pipe2(sortie.data(), O_CLOEXEC) != 0) {
        erreur = std::strerror(errno);
        return std::nullopt;
    }
    if (pipe2(erreurs.data(), O_CLOEXEC) != 0) {
        erreur = std::strerror(errno);
        close(sortie[0]);
        close(sortie[1]);
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, sortie[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, erreurs[1], STDERR_FILENO);
    // The child starts with none of the signals this process holds back while it waits.
    posix_spawnattr_t attributs;
    posix_spawnattr_init(&attributs);
    sigset_t vide;
    sigemptyset(&vide);
    posix_spawnattr_setsigmask(&attributs, &vide);
    posix_spawnattr_setflags(&attributs, POSIX_SPAWN_SETSIGMASK);
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (auto& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    Enfant e;
    const int r =
        posix_spawn(&e.pid, programme.c_str(), &actions, &attributs, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributs);
    close(sortie[1]);
    close(erreurs[1]);
    if (r != 0) {
        erreur = std::strerror(r);
        close(sortie[0]);
        close(erreurs[0]);
        return std::nullopt;
    }
    e.sortie = sortie[0];
    e.erreurs = erreurs[0];
    return e;
}

void ecrire_travail(const TravailLot& t, std::ostream& sortie, std::ostream& erreurs) {
    sortie << t.sortie;
    if (t.sortie.empty() || t.sortie.back() != '\n') sortie << '\n';
    sortie.flush();
    if (t.erreurs.empty() && t.statut == 0) return;
    const std::string nom = texte_terminal(t.description);
    erreurs << "==> " << nom << " <==\n" << t.erreurs;
    if (!t.erreurs.empty() && t.erreurs.back() != '\n') erreurs << '\n';
    if (t.statut != 0) erreurs << "tarvo-lot : " << nom << " : code de sortie " << t.statut << '\n';
    erreurs.flush();
}

// The status of an ended child; one ended by a signal is a conversion prevented, said so.
int statut_enfant(int etat, std::string& erreurs) {
    int signal = 0;
    if (WIFSIGNALED(etat)) signal = WTERMSIG(etat);
    if (WIFEXITED(etat) && WEXITSTATUS(etat) > 128) signal = WEXITSTATUS(etat) - 128;
    if (signal == 0) return WIFEXITED(etat) ? WEXITSTATUS(etat) : 1;
    erreurs += "tarvo-lot : conversion interrompue par le signal " + std::to_string(signal) + "\n";
    return 1;
}

}  // namespace

int pire_statut(int a, int b) {
    return gravite(b) > gravite(a) ? b : a;
}

int fils_par_travail(int fils_machine, int travaux, int nb_descriptions) {
    const int ensemble = std::max(1, std::min(travaux, nb_descriptions));
    return std::max(1, fils_machine / ensemble);
}

bool mourir_avec_le_parent(int pid_parent) {
    struct sigaction terme {};
    const bool terme_ignore =
        sigaction(SIGTERM, nullptr, &terme) == 0 && terme.sa_handler == SIG_IGN;
    // Asked of the kernel here, since posix_spawn cannot; a parent that died before this
    // line sends nothing, hence the look at who the parent is now.
    if (prctl(PR_SET_PDEATHSIG, terme_ignore ? SIGKILL : SIGTERM) != 0) return false;
    return getppid() == static_cast<pid_t>(pid_parent);
}

int executer_travaux(const std::string& programme, const std::vector<std::string>& arguments,
                     const std::vector<std::string>& descriptions, int travaux, int fils,
                     std::ostream& sortie, std::ostream& erreurs) {
    // Held back but while waiting, so that a signal can never slip in between a check and
    // the wait: it ends the children, which remove their unfinished files.
    sigset_t arrets, avant;
    sigemptyset(&arrets);
    for (const int s : signaux_arret) sigaddset(&arrets, s);
    sigprocmask(SIG_BLOCK, &arrets, &avant);
    signal_recu = 0;
    struct sigaction action {};
    action.sa_handler = noter_signal;
    action.sa_mask = arrets;
    std::array<struct sigaction, signaux_arret.size()> anciennes{};
    for (std::size_t i = 0; i < signaux_arret.size(); ++i)
        if (sigaction(signaux_arret[i], nullptr, &anciennes[i]) == 0 &&
            anciennes[i].sa_handler != SIG_IGN)
            sigaction(signaux_arret[i], &action, nullptr);
    const auto retablir = [&] {
        for (std::size_t i = 0; i < signaux_arret.size(); ++i)
            sigaction(signaux_arret[i], &anciennes[i], nullptr);
        sigprocmask(SIG_SETMASK, &avant, nullptr);
    };

    const std::size_t n = descriptions.size();
    std::vector<TravailLot> faits(n);
    std::vector<bool> fini(n, false);
    std::vector<Enfant> en_cours;
    std::size_t prochain = 0, a_ecrire = 0;
    int pire = 0;
    while (a_ecrire < n) {
        while (en_cours.size() < static_cast<std::size_t>(std::max(1, travaux)) && prochain < n) {
            TravailLot& t = faits[prochain];
            t.description = descriptions[prochain];
            std::vector<std::string> args{"tarvo-lot", "--rang-description",
                                          std::to_string(prochain + 1), "--pid-parent",
                                          std::to_string(getpid())};
            if (fils > 0) args.insert(args.end(), {"--fils", std::to_string(fils)});
            args.insert(args.end(), arguments.begin(), arguments.end());
            std::string erreur;
            if (auto e = demarrer(programme, std::move(args), erreur)) {
                e->indice = prochain;
                en_cours.push_back(*e);
            } else {
                t.statut = 1;
                t.erreurs = "tarvo-lot : impossible de lancer la conversion : " + erreur + "\n";
                fini[prochain] = true;
            }
            ++prochain;
        }
        while (a_ecrire < n && fini[a_ecrire]) {
            ecrire_travail(faits[a_ecrire], sortie, erreurs);
            pire = pire_statut(pire, faits[a_ecrire].statut);
            ++a_ecrire;
        }
        if (en_cours.empty()) continue;

        std::vector<pollfd> attente;
        for (const Enfant& e : en_cours)
            for (const int fd : {e.sortie, e.erreurs})
                if (fd >= 0) attente.push_back({fd, POLLIN, 0});
        const int r = ppoll(attente.data(), attente.size(), nullptr, &avant);
        if (signal_recu != 0) {
            const int s = signal_recu;
            for (const Enfant& e : en_cours) kill(e.pid, s);
            for (const Enfant& e : en_cours) {
                for (const int fd : {e.sortie, e.erreurs})
                    if (fd >= 0) close(fd);
                waitpid(e.pid, nullptr, 0);
            }
            retablir();
            return 128 + s;
        }
        if (r < 0) continue;
        for (const pollfd& p : attente) {
            if (p.revents == 0) continue;
            for (Enfant& e : en_cours) {
                int* fd = p.fd == e.sortie ? &e.sortie : p.fd == e.erreurs ? &e.erreurs : nullptr;
                if (fd == nullptr) continue;
                std::array<char, 65536> tampon{};
                const ssize_t lu = read(*fd, tampon.data(), tampon.size());
                if (lu > 0) {
                    std::string& texte =
                        fd == &e.sortie ? faits[e.indice].sortie : faits[e.indice].erreurs;
                    texte.append(tampon.data(), static_cast<std::size_t>(lu));
                } else {
                    close(*fd);
                    *fd = -1;
                }
                break;
            }
        }
        for (auto e = en_cours.begin(); e != en_cours.end();) {
            if (e->sortie >= 0 || e->erreurs >= 0) {
                ++e;
                continue;
            }
            int etat = 0;
            while (waitpid(e->pid, &etat, 0) < 0 && errno == EINTR) {
            }
            TravailLot& t = faits[e->indice];
            t.statut = statut_enfant(etat, t.erreurs);
            fini[e->indice] = true;
            e = en_cours.erase(e);
        }
    }
    retablir();
    return pire;
}

}  // namespace tarvo
