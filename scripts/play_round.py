#!/usr/bin/env python3
"""Plays one round of the riddle game through tamrek-host and prints every
exchange: the information text, "@急转弯", "@显示题目", a wrong "@答", the right
"@答" (looked up in the site's bank.tsv by the question asked), "@显示答案".

usage: play_round.py HOST PLUGIN BANK_TSV
"""
import os
import select
import subprocess
import sys

HINT_START = "提示："


def read_chunk(output, first_wait):
    """What the host printed for one message: it writes a whole exchange at once."""
    chunk = b""
    wait = first_wait
    while select.select([output], [], [], wait)[0]:
        data = os.read(output.fileno(), 65536)
        if not data:
            break
        chunk += data
        wait = 0.2
    return chunk.decode("utf-8", "replace")


def judged_right(user, answer):
    """The plug-in's judging rule, in GBK bytes: a large enough part of the
    answer, or a text holding all of it."""
    user, answer = user.encode("gbk"), answer.encode("gbk")
    if user in answer:
        return len(user) >= 3 * len(answer) // 5
    return answer in user


def wrong_answer(answer):
    return next(guess for guess in ("猜不出来", "不知道", "没想到", "zzz")
                if not judged_right(guess, answer))


def answers_by_question(bank_tsv):
    answers = {}
    with open(bank_tsv, encoding="gbk") as bank:
        for line in bank:
            _, question, answer = line.rstrip("\n").split("\t")
            answers[question] = answer
    return answers


def main():
    host, plugin, bank_tsv = sys.argv[1:4]
    answers = answers_by_question(bank_tsv)
    game = subprocess.Popen([host, plugin], stdin=subprocess.PIPE, stdout=subprocess.PIPE)

    def say(message):
        game.stdin.write((message + "\n").encode())
        game.stdin.flush()
        shown = read_chunk(game.stdout, 90)
        print(shown, end="", flush=True)
        return shown

    print(read_chunk(game.stdout, 10), end="")
    asked = say("@急转弯").split("\n", 1)[1]
    question = asked.split(HINT_START)[0].strip("\n ")
    if question not in answers:
        print("(no riddle came from the site)")
        game.stdin.close()
        return 1
    say("@显示题目")
    say("@答 " + wrong_answer(answers[question]))
    say("@答 " + answers[question])
    say("@显示答案")
    game.stdin.close()
    return game.wait()


if __name__ == "__main__":
    sys.exit(main())
