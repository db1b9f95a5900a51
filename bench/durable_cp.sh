#!/bin/sh
# The floor of a durable output: copies the files into DIRECTORY, then syncs each copy and the directory
# to the disk, which is the least a program that leaves those bytes durable must pay.
#   bench/durable_cp.sh DIRECTORY FILE...
set -e
directory=$1
shift
cp -- "$@" "$directory"/
for file in "$@"; do set -- "$@" "$directory/${file##*/}"; shift; done
sync -- "$@" "$directory"
