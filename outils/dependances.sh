# Installs the Debian packages the build needs when one is missing; sourced by ./run and ./test.
# Idempotent: apt-get runs only when something must be installed.

tarvo_paquets=(cmake ninja-build g++ clang clang-format clang-tidy libclang-rt-14-dev libgtest-dev libgmock-dev
               libbenchmark-dev libcli11-dev python3 libzip-dev libexpat1-dev libfreexl-dev
               pkg-config qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins qt6-translations-l10n xvfb xauth libasound2-dev
               fonts-dejavu-core poppler-utils dpkg-dev file desktop-file-utils
               libabsl-dev tzdata)

tarvo_installer_dependances() {
    local manquants=() p
    for p in "${tarvo_paquets[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            manquants+=("$p")
    done
    [ ${#manquants[@]} -eq 0 ] && return 0
    echo "Installation des paquets manquants : ${manquants[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Il faut être root (ou sudo) pour installer ${manquants[*]}" >&2; return 1; }
        sudo="sudo"
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q &&
        $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${manquants[@]}"
}
