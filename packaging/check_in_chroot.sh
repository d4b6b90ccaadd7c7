#!/usr/bin/env bash
# Installs the Debian package into a fresh Debian 12 system and plays stage 0
# there headless, as an ordinary user, with no build folder in sight. Run as
# root; not part of the test suite (it needs a debootstrapped system and
# Debian's archive).
#   packaging/check_in_chroot.sh CHROOT build/lumotta_*.deb REPLAY
# CHROOT: made with  debootstrap --variant=minbase bookworm CHROOT
# REPLAY: stage 0's replay, e.g.
#   build/tools/runner/lumotta-run --script content/replays/00.script --write-replay stage00.rep
set -euo pipefail
root=$1 deb=$2 replay=$3

cp "$deb" "$root/tmp/"
cp "$replay" "$root/tmp/stage00.rep"
mount -t proc proc "$root/proc"
trap 'umount "$root/proc"' EXIT
chroot "$root" /bin/sh -ec '
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq /tmp/'"$(basename "$deb")"' >/tmp/apt.log
  id player >/dev/null 2>&1 || useradd -m player
  cp /tmp/stage00.rep /home/player/ && chown player /home/player/stage00.rep
  su player -c "cd && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy lumotta --replay stage00.rep; echo exit status \$?"
  ls -l /home/player/.local/share/lumotta/01 /home/player/.local/state/lumotta
  grep -E "Data folder|Saved files|replay of stage" /home/player/.local/state/lumotta/Log.txt
  su player -c "lumotta --version"
  test -f /usr/share/applications/lumotta.desktop && test -f /usr/share/icons/hicolor/48x48/apps/lumotta.png
  dpkg -s lumotta | grep -E "^(Version|Depends|Recommends):"
'
