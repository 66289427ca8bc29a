#!/usr/bin/env bash
# Renders a show in chunks of frames, side by side on this machine's job
# slots or on other machines, with GNU parallel; joins the chunks without
# encoding them again (FFmpeg's concat demuxer) and adds the sound once over
# the whole, cut as one render cuts it. Chunks already complete are never
# rendered again, so running the same command after a crash or Ctrl-C
# finishes the rest.
set -uo pipefail

usage() {
  cat <<'EOF'
Usage: scripts/render-farm.sh OUTPUT [options] [PRODUCTION_DIR]

OUTPUT is a video file (.mp4, .mkv, .mov, .webm) as demoplayer --render takes.

Farm options:
  --chunk N          frames a chunk (default 600)
  --jobs N           chunks rendered at once on each machine (default: one a core)
  --hosts FILE       render on the machines listed in FILE, one parallel
                     --sshloginfile entry a line (":" is this machine, "4/host"
                     gives host 4 slots). Every machine needs the same
                     demoplayer and production at the same paths, and the
                     folder of OUTPUT shared at the same path.
  --demoplayer PATH  the player to run (default: $DEMOPLAYER, else demoplayer)
  --keep-chunks      keep the chunks' folder (OUTPUT.chunks) after the join
  --overwrite        replace OUTPUT if it exists

Options of each render (as demoplayer takes them):
  --size WxH --fps N --codec NAME --crf N --bitrate R --no-audio --verbose
  --frames FIRST:END, or --start S and --end E (default: 0 to the exit event)
EOF
}

say() { echo "farm: $*"; }
problem() { echo "farm: $*" >&2; }
die() { problem "$*"; exit "${2:-1}"; }
usage_error() { problem "$1 (see scripts/render-farm.sh --help)"; exit 2; }

out="" production="" chunk=600 jobs="" hosts="" player="${DEMOPLAYER:-demoplayer}"
keep=0 overwrite=0 fps=60 frames="" start="" end="" codec="" noAudio=0
pass=()  # the options every chunk's render takes
while (($#)); do
  case $1 in
    -h|--help) usage; exit 0 ;;
    --chunk|--jobs|--hosts|--demoplayer|--fps|--frames|--start|--end|--codec|--size|--crf|--bitrate)
      (($# >= 2)) || usage_error "$1 needs a value"
      case $1 in
        --chunk) chunk=$2 ;;
        --jobs) jobs=$2 ;;
        --hosts) hosts=$2 ;;
        --demoplayer) player=$2 ;;
        --frames) frames=$2 ;;
        --start) start=$2 ;;
        --end) end=$2 ;;
        *) pass+=("$1" "$2"); [ "$1" = --fps ] && fps=$2; [ "$1" = --codec ] && codec=$2 ;;
      esac
      shift 2 ;;
    --keep-chunks) keep=1; shift ;;
    --overwrite) overwrite=1; shift ;;
    --no-audio) noAudio=1; shift ;;
    --verbose) pass+=("$1"); shift ;;
    -*) usage_error "unknown option $1" ;;
    *)
      if [ -z "$out" ]; then out=$1
      elif [ -z "$production" ]; then production=$1
      else usage_error "one output and one production folder, not '$1' too"; fi
      shift ;;
  esac
done

[ -n "$out" ] || usage_error "name the output video"
[[ $chunk =~ ^[1-9][0-9]*$ ]] || usage_error "--chunk: '$chunk' is not a number of frames"
[ -z "$jobs" ] || [[ $jobs =~ ^[1-9][0-9]*$ ]] || usage_error "--jobs: '$jobs' is not a number"
[ -z "$hosts" ] || [ -r "$hosts" ] || usage_error "--hosts: cannot read '$hosts'"
[ -z "$frames" ] || [ -z "$start$end" ] || usage_error "give --frames or --start/--end, not both"
for tool in parallel ffmpeg ffprobe flock; do
  command -v "$tool" >/dev/null || die "needs $tool (scripts/install-deps.sh installs it)"
done
command -v "$player" >/dev/null || die "cannot run the player '$player' (give --demoplayer PATH)"

ext=${out##*.}
ext=${ext,,}
case $ext in mp4|mkv|mov|webm) ;; *) usage_error "'$out' should end in .mp4, .mkv, .mov or .webm" ;; esac
if [ -z "$production" ]; then
  [ -f demofinal.xml ] || usage_error "name the production folder"
  production=.
fi
[ -d "$production" ] || usage_error "'$production' is not a folder"
production=$(cd "$production" && pwd)
outDir=$(cd "$(dirname "$out")" 2>/dev/null && pwd) || usage_error "the folder of '$out' does not exist"
out="$outDir/$(basename "$out")"
[ ! -e "$out" ] || ((overwrite)) || usage_error "'$out' exists (add --overwrite to replace it)"

# The frame rate as a fraction num/den, as the player reads it.
case $fps in
  23.976) num=24000 den=1001 ;; 29.97) num=30000 den=1001 ;;
  59.94) num=60000 den=1001 ;; 119.88) num=120000 den=1001 ;;
  */*) num=${fps%/*} den=${fps#*/} ;;
  *) num=$fps den=1 ;;
esac
[[ $num =~ ^[0-9]+$ && $den =~ ^[0-9]+$ ]] && ((num > 0 && den > 0)) || usage_error "--fps: '$fps' is not a frame rate"

calc() { awk "BEGIN { $1 }"; }
# The frame nearest to a time, as the player finds it.
frame_at() { calc "printf \"%d\", int($1 * $num / $den + 0.5)"; }

# The earliest exit event of the scene, seconds; empty when there is none.
exit_time() {
  grep -o '<exit[^>]*eventTime="[^"]*"' "$production/demofinal.xml" 2>/dev/null |
    sed 's/.*eventTime="\([^"]*\)"/\1/' | sort -g | head -n 1
}

if [ -n "$frames" ]; then
  [[ $frames =~ ^([0-9]+):([0-9]+)$ ]] || usage_error "--frames: '$frames' is not FIRST:END"
  first=${BASH_REMATCH[1]} last=${BASH_REMATCH[2]}
else
  first=$(frame_at "${start:-0}")
  if [ -n "$end" ]; then
    last=$(frame_at "$end")
  else
    exitAt=$(exit_time)
    [ -n "$exitAt" ] || usage_error "the production has no exit event: give --end or --frames"
    # The frame that reaches the exit is the last one drawn.
    last=$(calc "f = int($exitAt * $num / $den); while (f * $den / $num < $exitAt - 1e-9) f++; printf \"%d\", f + 1")
  fi
fi
((last > first)) || usage_error "the span ends before it begins (frames $first:$last)"

work="$out.chunks"
mkdir -p "$work" || die "cannot make '$work'"
exec 9>"$work/lock"
# The renders of a farm that was just stopped hold the lock until they have
# ended (parallel gives each up to 6 s to keep what it drew): a farm started
# meanwhile waits for them, and gives up only on a farm still rendering.
flock -w 20 9 || die "another farm is rendering into '$work'"
# Chunks made with other options must not be joined with these.
stamp="$(printf '%q ' "${pass[@]}") frames $first:$last chunk $chunk production $production"
if [ -f "$work/options" ] && [ "$(cat "$work/options")" != "$stamp" ]; then
  die "the chunks in '$work' were rendered with other options; remove that folder or give the same options" 2
fi
echo "$stamp" > "$work/options"
# What an interrupted render left: never a complete chunk.
rm -f "$work"/chunk_*.partial.* "$work"/.chunk_*.part

total=$(((last - first + chunk - 1) / chunk)) skipped=0 todo=()
for ((i = 0; i < total; i++)); do
  a=$((first + i * chunk))
  b=$((a + chunk < last ? a + chunk : last))
  name=$(printf 'chunk_%06d.%s' "$i" "$ext")
  if [ -f "$work/$name" ]; then
    say "chunk $((i + 1)) of $total (frames $a:$b) is complete: skipped"
    skipped=$((skipped + 1))
  else
    todo+=("$name $a $b")
  fi
done

slots=${jobs:-one a core}
where="on this machine, $slots job slots"
[ -z "$hosts" ] || where="on the machines of $hosts"
say "frames $first:$last at $fps in $total chunks of up to $chunk frames; $skipped complete, rendering ${#todo[@]} $where"

complete() { local n=0 f; for f in "$work"/chunk_*."$ext"; do [ -f "$f" ] && n=$((n + 1)); done; echo "$n"; }

# Runs parallel in the background: $renderer is its process.
render_chunks() {
  local options=(--halt soon,fail=1 --termseq INT,4000,TERM,2000,KILL,25 --colsep ' ' -q)
  [ -z "$jobs" ] || options+=(--jobs "$jobs")
  [ -z "$hosts" ] || options+=(--sshloginfile "$hosts")
  printf '%s\n' "${todo[@]}" > "$work/todo"
  parallel "${options[@]}" "$player" --render "$work/{1}" --frames '{2}:{3}' --no-audio "${pass[@]}" "$production" \
    :::: "$work/todo" >> "$work/render.log" 2>&1 &
  renderer=$!
}

if ((${#todo[@]})); then
  render_chunks
  stop() {
    problem "stopped by SIG$1: $(complete) of $total chunks are complete; the same command renders the rest"
    # parallel passes the stop on to the renders (each keeps what it drew
    # under a partial name, never as a chunk) and ends when they have.
    kill -TERM "$renderer" 2>/dev/null
    wait "$renderer" 2>/dev/null
    exit "$2"
  }
  trap 'stop INT 130' INT
  trap 'stop TERM 143' TERM
  began=$SECONDS shown=-1
  while kill -0 "$renderer" 2>/dev/null; do
    done=$(complete)
    if ((done != shown)); then
      shown=$done
      rendered=$((done - skipped))
      if ((rendered > 0)); then
        left=$(((SECONDS - began) * (total - done) / rendered))
        problem "$done of $total chunks done, about $((left / 60)) min $((left % 60)) s left"
      else
        problem "$done of $total chunks done"
      fi
    fi
    sleep 0.5
  done
  wait "$renderer"
  rendered=$?
  trap - INT TERM
  if ((rendered != 0)) || (($(complete) != total)); then
    tail -n 5 "$work/render.log" >&2
    die "a chunk could not be rendered ($(complete) of $total are complete); see '$work/render.log'"
  fi
  problem "$total of $total chunks done"
fi

# The chunks joined as they are, then the sound over the whole.
temp="$outDir/.$(basename "$out" ."$ext").farm-$$"
trap 'rm -f "$temp".*' EXIT
list="$work/chunks.txt"
: > "$list"
# Each chunk lasts exactly its frames: the lengths are given in whole
# microseconds, cut where the running total falls, so they never add up to a drift.
micros() { calc "printf \"%d\", int(($1 - $first) * $den / $num * 1000000 + 0.5)"; }
for ((i = 0; i < total; i++)); do
  a=$((first + i * chunk))
  b=$((a + chunk < last ? a + chunk : last))
  length=$(($(micros "$b") - $(micros "$a")))
  printf "file '%s'\nduration %d.%06d\n" \
    "$(printf '%s/chunk_%06d.%s' "$work" "$i" "$ext" | sed "s/'/'\\\\''/g")" \
    $((length / 1000000)) $((length % 1000000)) >> "$list"
done
ffmpeg -nostdin -v error -y -f concat -safe 0 -i "$list" -map 0:v -c copy "$temp.video.$ext" ||
  die "cannot join the chunks"
count=$(ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets -of csv=p=0 \
  "$temp.video.$ext")
[ "$count" = $((last - first)) ] ||
  problem "the chunks hold $count frames, not $((last - first)): the show ends before frame $last"

music="$production/13_3.ogg"
if ((noAudio)); then
  mv "$temp.video.$ext" "$temp.$ext"
elif [ ! -r "$music" ]; then
  problem "the video has no sound: cannot read '$music'"
  mv "$temp.video.$ext" "$temp.$ext"
else
  # The span of the looping music under frames first .. first+count, at the
  # rate and with the codec one render uses.
  source=$(ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate -of csv=p=0 "$music")
  rate=$([ "$source" = 44100 ] && echo 44100 || echo 48000)
  case $ext in
    mp4) sound=(-c:a aac -b:a 192k) ;;
    mkv) if [ "$codec" = ffv1 ]; then sound=(-c:a flac -sample_fmt s16); else sound=(-c:a aac -b:a 192k); fi ;;
    mov) sound=(-c:a pcm_s16le) ;;
    webm) sound=(-c:a libopus -b:a 160k); rate=48000 ;;
  esac
  from=$(calc "printf \"%d\", int($first * $den / $num * $rate + 0.5)")
  to=$(calc "printf \"%d\", int(($first + $count) * $den / $num * $rate + 0.5)")
  ffmpeg -nostdin -v error -y -i "$temp.video.$ext" -stream_loop -1 -i "$music" -map 0:v -map 1:a -c:v copy \
    -af "aresample=$rate,atrim=start_sample=$from:end_sample=$to,asetpts=N/SR/TB" -ac 2 "${sound[@]}" \
    "$temp.$ext" || die "cannot add the sound"
fi

if ((overwrite)); then
  mv -f "$temp.$ext" "$out"
else
  mv -n "$temp.$ext" "$out"
  [ ! -e "$temp.$ext" ] || die "'$out' appeared meanwhile; the render is not kept (add --overwrite)"
fi
((keep)) || rm -rf "$work"
say "'$out': frames $first:$last, $count frames"
