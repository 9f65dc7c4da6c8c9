# SPDX-License-Identifier: MIT
# Writes the typed-input fuzz seeds: settings bytes, then operations (see fuzz_typedinput.cpp).
import os
base = os.path.dirname(os.path.abspath(__file__))
pal = list("0123456789012345.,-;+ eEaAbBcCdDfFgGxXmMiI'\"$/()é ß\bnlosh")
def idx(c): return pal.index(c)
def typ(s, keypad=False):
    out=[]
    for c in s: out += [0x80 if keypad else 0, idx(c)]
    return out
def paste(s): return [9, len(s)] + [idx(c) for c in s]
def assign(s): return [10, len(s)] + [idx(c) for c in s]
BS=[6]; DEL=[7]; FOCUS=[12]
def sel(a,b): return [8,a,b]
names=["string","numeric","float","upper","mixed","lower","password","money","range","hex","alnum","valid"]
seeds = {
 0: typ("ab c")+paste("x'd")+BS,
 1: typ("12-3")+typ("-")+sel(0,0)+typ("5")+paste("-4")+FOCUS,
 2: typ(".5")+typ("1,234")+typ(",")+BS+DEL+paste("1,234.5")+FOCUS,
 3: typ("aßé")+paste("mIxed Cade"),
 4: typ("mcdonald o'neil ii")+sel(3,2)+typ("x"),
 5: typ("ABC")+paste("DEF"),
 6: typ("cab ")+paste("cd"),
 7: typ("1234567.89")+BS+BS+sel(1,0)+DEL+typ("-")+FOCUS,
 8: typ("1,2-3;4")+typ(",,")+sel(1,1)+typ(";")+[14,0x80],
 9: typ("ffG-1")+assign("abc")+[14,0],
 10: typ("a1 G")+paste("b 2"),
 11: typ("a.c-9x")+paste("abc"),
}
for t, ops in seeds.items():
    for variant, (flags, prec, limits, loc) in enumerate([(0x05,4,0,0),(0x0F|0x40|0x80,4,3|(8<<3),1),(0x35,1,5,2),(0x01,0,0,3)]):
        open(f"{base}/corpus/{names[t]}_{variant}", "wb").write(bytes([t, flags, prec, limits, loc] + ops))
open(f"{base}/corpus/money_long","wb").write(bytes([7,0x05,4,0,0]+typ("123456789012345678901234567890")+FOCUS))
open(f"{base}/corpus/float_general","wb").write(bytes([2,0x25,4,0,0]+paste("100000000000000000000")+typ("5")))
open(f"{base}/corpus/range_huge","wb").write(bytes([8,0,2,0,0]+assign("1-99999,5")+[14,0x80]))
open(f"{base}/corpus/float_write","wb").write(bytes([2,0x01,4,0,0,0x8b,0x7f,0xf0,0,0,0,0,0,0, 0x8b,0x43,0x30,0,0,0,0,0,0, 11,0x80,0,0,0]))
