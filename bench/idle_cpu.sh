#!/bin/sh
# The share of one core that velquor-preview takes while paused and idle,
# read from /proc: its user and system time, every thread counted, over a
# stretch after its scout has kept the whole show's states. Run from the
# build directory, on a display, with silent audio:
#   SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1920x1080x24" ../bench/idle_cpu.sh
# Arguments: the program (./velquor-preview), the seconds to let it settle
# (40) and the seconds to measure (10).
preview=${1:-./velquor-preview}
settle=${2:-40}
seconds=${3:-10}

"$preview" --paused --size 1280x720 > /dev/null &
pid=$!
sleep "$settle"
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
before=$(ticks)
sleep "$seconds"
after=$(ticks)
kill "$pid"
wait "$pid" 2> /dev/null
awk -v used="$((after - before))" -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
    'BEGIN { printf "velquor-preview, paused and idle: %.1f %% of one core over %d s\n", 100 * used / (hz * s), s }'
