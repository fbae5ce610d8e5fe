# bash completion of qrvtool: its commands, each command's options, and the
# files each place takes (messages, pictures folders, WAV, Y4M, PNG...).
# Values may follow their option as the next word or after '=' (--wav=OUT).

# Files with one of the extensions in $1 ("wav", "wav|y4m"; empty for any)
# and folders.
_qrvtool_files() {
  if declare -F _filedir >/dev/null; then
    _filedir "$1"
    return
  fi
  local IFS=$'\n'
  compopt -o filenames 2>/dev/null
  COMPREPLY=($(compgen -f -- "$cur"))
}

# The options of command $1, as 'qrvtool COMMAND --help' lists them.
_qrvtool_options() {
  local common="-q --quiet -h --help --version" writes="-n --no-clobber"
  case $1 in
  info) echo "--json $common" ;;
  decode) echo "--pcm --bgr --wav --png --y4m --md5 --verify --threads $writes $common" ;;
  encode) echo "--audio --video --fps -o --output --threads $writes $common" ;;
  export) echo "-o --output --threads $writes $common" ;;
  thumbnail) echo "$writes $common" ;;
  esac
}

_qrvtool() {
  local cur prev words cword split=false
  if declare -F _init_completion >/dev/null; then
    _init_completion -s || return
  else
    words=("${COMP_WORDS[@]}")
    cword=$COMP_CWORD
    cur=${words[cword]}
    prev=${words[cword - 1]}
    # Bash splits "--wav=OUT" into "--wav", "=" and "OUT".
    if [[ $cur == = ]]; then
      prev=${words[cword - 1]} cur=
    elif [[ $prev == = ]] && ((cword > 1)); then
      prev=${words[cword - 2]}
    fi
  fi

  if ((cword == 1)); then
    COMPREPLY=($(compgen -W "info decode encode export thumbnail help -h --help --version" -- "$cur"))
    return
  fi
  local command=${words[1]}
  if [[ $command == help ]]; then
    ((cword == 2)) && COMPREPLY=($(compgen -W "info decode encode export thumbnail" -- "$cur"))
    return
  fi

  case $prev in
  --pcm | --bgr | --audio) _qrvtool_files '' ; return ;;
  --wav) _qrvtool_files 'wav' ; return ;;
  --y4m | --video) _qrvtool_files 'y4m' ; return ;;
  --verify) _qrvtool_files 'md5|txt' ; return ;;
  --png)
    if declare -F _filedir >/dev/null; then _filedir -d; else COMPREPLY=($(compgen -d -- "$cur")); fi
    return
    ;;
  --fps) COMPREPLY=($(compgen -W "1 2 3 4 5" -- "$cur")) ; return ;;
  --threads) COMPREPLY=($(compgen -W "$(seq 1 "$(nproc 2>/dev/null || echo 1)")" -- "$cur")) ; return ;;
  -o | --output)
    case $command in
    encode) _qrvtool_files 'qrv' ;;
    export) _qrvtool_files 'wav|y4m|mp4|webm' ;;
    esac
    return
    ;;
  esac
  $split && return

  local options
  options=$(_qrvtool_options "$command")
  [[ -n $options ]] || return
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    return
  fi

  # Which of the command's plain arguments this word is; '-' (standard
  # input or output) counts as one.
  local i place=0
  for ((i = 2; i < cword; i++)); do
    case ${words[i]} in
    --*=*) ;;
    --pcm | --bgr | --wav | --png | --y4m | --verify | --threads | --audio | --video | --fps | -o | --output)
      ((i++))
      [[ ${words[i]:-} == = ]] && ((i++))
      ;;
    -) ((place++)) ;;
    -*) ;;
    *) ((place++)) ;;
    esac
  done
  case $command:$place in
  info:0 | decode:0 | export:0 | thumbnail:0) _qrvtool_files 'qrv' ;;
  thumbnail:1) _qrvtool_files 'png' ;;
  esac
} && complete -F _qrvtool qrvtool
