[CH4 conformer 1]
GeomFileName=CH4.out
FreqFileName=CH4.out
MP2FileName=ch4_sp.out
